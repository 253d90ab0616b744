// Screenshots of every screen at 360, 768 and 1280 px into OUT, to look at:
// node tests/web/screenshots.mjs OUT  (QZT_BINARY as for the tests)
import { mkdirSync } from "node:fs";
import { join } from "node:path";
import { freePort, launch, packPaper, startServer, stopServer, tempDir } from "./harness.mjs";
import { classroomManifest, classroomPage, notesPage } from "./papers.mjs";

const out = process.argv[2] ?? "screenshots";
mkdirSync(out, { recursive: true });
const dir = tempDir();
const paper = packPaper(dir, classroomManifest(30), classroomPage, notesPage);
const server = await startServer(paper, join(dir, "answers"), await freePort(), ["--results", "now"]);
const browser = await launch();
try {
  for (const [i, width] of [360, 768, 1280].entries()) {
    const page = await (await browser.newContext({ viewport: { width, height: width < 500 ? 740 : 900 },
                                                   isMobile: width < 500, hasTouch: width < 500 })).newPage();
    const shot = (name) => page.screenshot({ path: join(out, `${name}-${width}.png`), fullPage: true });
    await page.goto(server.base + "/");
    await page.waitForSelector("#signInForm");
    await shot("signin");
    await page.fill("#name", ["甲", "乙", "丙"][i]);
    await page.fill("#number", String(i + 1));
    await page.click("#signInButton");
    await page.waitForSelector("#answerGrid [role=gridcell]");
    for (const [label, letter] of [[1, "B"], [2, "A"], [3, "A"], [3, "C"]]) {
      await page.locator(`[role=gridcell][aria-label^="第 ${label} 题 ${letter} "]`).dispatchEvent("click");
    }
    await page.fill("#t6", "12");
    await page.waitForTimeout(500);
    await shot("exam");
    await page.locator("#handInButton").dispatchEvent("click");
    await shot("handin-question");
    await page.click("#yesButton");
    await page.waitForSelector("#scoreLine:has-text('总分')");
    await shot("results");
  }
  for (const width of [360, 768, 1280]) {
    const page = await (await browser.newContext({ viewport: { width, height: 900 } })).newPage();
    await page.goto(`${server.base}/teacher?token=${server.token}`);
    await page.waitForSelector("#reportSummary dd");
    await page.screenshot({ path: join(out, `dashboard-${width}.png`), fullPage: true });
  }
} finally {
  await browser.close();
  await stopServer(server);
}

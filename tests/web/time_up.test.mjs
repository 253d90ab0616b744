// A one-minute paper: the page warns, counts down and is handed in by the
// server at 0 without anyone pressing a button; the page then shows what
// qzt grade finds in the answer file.
import assert from "node:assert/strict";
import { join } from "node:path";
import { after, before, test } from "node:test";
import { freePort, launch, packPaper, qzt, startServer, stopServer, tempDir, until } from "./harness.mjs";
import { classroomManifest, classroomPage } from "./papers.mjs";

const dir = tempDir();
let server, browser, paper;
before(async () => {
  paper = packPaper(dir, classroomManifest(1), classroomPage);
  server = await startServer(paper, join(dir, "answers"), await freePort(), ["--results", "now"]);
  browser = await launch();
});
after(async () => {
  await browser?.close();
  if (server) await stopServer(server);
});

test("a one-minute paper warns, counts down and hands itself in at 0", async () => {
  const page = await (await browser.newContext()).newPage();
  await page.goto(server.base + "/");
  await page.fill("#name", "丁");
  await page.fill("#number", "4");
  await page.click("#signInButton");
  await page.waitForSelector("#answerGrid");
  assert.equal(await page.textContent("#timeWarning"), "剩余答题时间不超过 1 分钟");
  assert.equal(await page.getAttribute("#timeWarning", "role"), "alert");
  assert.equal(await page.getAttribute("#remainingTime", "aria-live"), "polite");
  assert.match(await page.textContent("#remainingTime"), /^剩余答题时间 [01] 分 \d+ 秒$/);
  await page.locator("[role=gridcell][aria-label^='第 1 题 B ']").click();
  await page.locator("[role=gridcell][aria-label^='第 2 题 A ']").click();
  const line = await until(async () => {
    const text = await page.textContent("#scoreLine");
    return text.startsWith("总分") && text;
  }, "the hand-in at 0", 90_000);
  await until(async () => (await page.textContent("#clockLine")).endsWith("剩余答题时间：0分钟0秒"), "the clock at 0", 2000);
  assert.equal(await page.isDisabled("#handInButton"), true);
  const graded = JSON.parse(qzt("grade", paper, join(dir, "answers", "4-丁.da"), "--json"));
  assert.equal(line, graded.report);
  assert.equal(graded.score, 2);
});

// With a class list the candidate picks a name instead of typing it, and
// a name already signed in is told to resume; the teacher lets a candidate
// back in with a new code and ends the exam from the dashboard.
import assert from "node:assert/strict";
import { writeFileSync } from "node:fs";
import { join } from "node:path";
import { after, before, test } from "node:test";
import { axeViolations, freePort, launch, packPaper, startServer, stopServer, tempDir, until } from "./harness.mjs";
import { classroomManifest, classroomPage } from "./papers.mjs";

const dir = tempDir();
let server, browser;
before(async () => {
  const paper = packPaper(dir, classroomManifest(30), classroomPage);
  writeFileSync(join(dir, "roster.csv"), "姓名,学号\n王小明,101\n李华,102\n");
  server = await startServer(paper, join(dir, "answers"), await freePort(), ["--roster", join(dir, "roster.csv")]);
  browser = await launch();
});
after(async () => {
  await browser?.close();
  if (server) await stopServer(server);
});

test("a candidate picks a name from the class list; a second sign-in as that name is refused", async () => {
  const page = await (await browser.newContext()).newPage();
  await page.goto(server.base + "/");
  await page.waitForSelector("#rosterList option");
  assert.deepEqual(await page.locator("#rosterList option").allTextContents(), ["101 王小明", "102 李华"]);
  assert.deepEqual(await axeViolations(page), []);
  await page.selectOption("#rosterList", { label: "102 李华" });
  await page.click("#rosterButton");
  await page.waitForSelector("#answerGrid");

  const again = await (await browser.newContext()).newPage();
  await again.goto(server.base + "/");
  await again.fill("#name", "李华");
  await again.fill("#number", "102");
  await again.click("#signInButton");
  await again.waitForSelector("#signInError:not(:empty)");
  assert.equal(await again.textContent("#signInError"), "已登录，请用恢复码继续");

  const teacher = await (await browser.newContext()).newPage();
  await teacher.goto(`${server.base}/teacher?token=${server.token}`);
  await teacher.click("#roomTable button[aria-label='让 李华 重新进入']");
  const notice = await until(async () => (await teacher.textContent("#teacherNotice")).match(/新恢复码：(\S+)$/), "the new code");
  await again.fill("#resumeName", "李华");
  await again.fill("#resumeNumber", "102");
  await again.fill("#resumeCode", notice[1]);
  await again.click("#resumeButton");
  await again.waitForSelector("#answerGrid");
  await until(() => page.isVisible("#signInForm"), "the old page's session ended");

  await teacher.click("#endButton");
  await teacher.click("#yesButton");
  await again.waitForSelector("#scoreLine:has-text('总分')");
  assert.equal(await again.isDisabled("#handInButton"), true);
  await until(async () => (await teacher.textContent("#roomSummary")).startsWith("考试已结束"), "the room closed");
});

// Three candidates at once against the real qzt serve: one on a phone, one
// by keyboard only, one by mouse who closes the tab and resumes on another
// device; the server killed with SIGKILL and restarted mid-exam; the answer
// files grade with qzt grade as each page showed; the dashboard agrees
// with qzt report; axe-core on every screen.
import assert from "node:assert/strict";
import { readdirSync } from "node:fs";
import { join } from "node:path";
import { after, before, test } from "node:test";
import { axeViolations, freePort, getJson, launch, packPaper, qzt, sleep, startServer, stopServer, tempDir, until } from "./harness.mjs";
import { classroomManifest, classroomPage, notesPage } from "./papers.mjs";

const dir = tempDir();
const answers = join(dir, "answers");
let paper, port, server, browser;
const pages = {};

before(async () => {
  paper = packPaper(dir, classroomManifest(30), classroomPage, notesPage);
  port = await freePort();
  server = await startServer(paper, answers, port, ["--results", "now"]);
  browser = await launch();
});
after(async () => {
  await browser?.close();
  if (server) await stopServer(server);
});

async function signIn(page, name, number) {
  await page.goto(server.base + "/");
  await page.fill("#name", name);
  await page.fill("#number", number);
  await page.click("#signInButton");
  await page.waitForSelector("#answerGrid [role=gridcell]");
}

const cell = (page, label, letter) => page.locator(`[role=gridcell][aria-label^="第 ${label} 题 ${letter} "]`);
// A phone's tap once the scroll to the cell has settled (emulated touch
// lands where the cell was before the scroll otherwise).
async function tap(locator) {
  await locator.scrollIntoViewIfNeeded();
  await sleep(300);
  await locator.tap();
}
const serverState = (page) => page.evaluate(() => fetch("/api/state").then((r) => r.json()));

test("sign-in has no accessibility violation and signs in by name and number", async () => {
  const phone = await browser.newContext({ viewport: { width: 360, height: 740 }, isMobile: true, hasTouch: true });
  pages.phone = await phone.newPage();
  await pages.phone.goto(server.base + "/");
  await pages.phone.waitForSelector("#signInForm");
  assert.deepEqual(await axeViolations(pages.phone), []);
  await signIn(pages.phone, "甲", "1");
  assert.match(await pages.phone.textContent("#resumeCodeText"), /^[0-9A-Z]{3}-[0-9A-Z]{3}$/);
});

test("on a phone the page stands above the grid and every cell is at least 44 px", async () => {
  const page = pages.phone;
  const frame = await page.locator("#pageView").boundingBox();
  const grid = await page.locator("#answerGrid").boundingBox();
  assert.ok(frame.y + frame.height <= grid.y, "page above grid");
  assert.ok(grid.x + grid.width <= 360, "grid within the phone's width");
  for (const box of await page.locator("#answerGrid [role=gridcell]").evaluateAll((cells) =>
    cells.map((c) => c.getBoundingClientRect()).map((r) => [r.width, r.height]))) {
    assert.ok(box[0] >= 44 && box[1] >= 44, `cell ${box}`);
  }
  await tap(cell(page, 1, "B"));
  await tap(cell(page, 3, "A"));
  await tap(cell(page, 3, "C"));
  await page.fill("#t6", "12");
  assert.equal(await cell(page, 1, "B").getAttribute("aria-label"), "第 1 题 B 已选");
  assert.equal(await cell(page, 3, "C").getAttribute("aria-label"), "第 3 题 C 已选");
  assert.deepEqual(await axeViolations(page), []);
});

test("the keyboard alone signs in, answers through the grid and goes into a text row and back", async () => {
  const context = await browser.newContext({ viewport: { width: 1280, height: 800 } });
  const page = pages.keys = await context.newPage();
  await page.goto(server.base + "/");
  await page.waitForSelector("#name:focus");
  await page.keyboard.type("乙");
  await page.keyboard.press("Tab");
  await page.keyboard.type("2");
  await page.keyboard.press("Enter");
  await page.waitForSelector("#paperTitle:focus");        // the keys start at the paper's title
  const focused = () => page.evaluate(() => document.activeElement?.getAttribute("aria-label") ?? document.activeElement?.textContent);
  for (let i = 0; i < 10 && !(await page.evaluate(() => document.activeElement?.closest("#answerGrid"))); ++i) {
    await page.keyboard.press("Tab");
  }
  assert.equal(await focused(), "一、选择题", "one tab stop into the grid, at its first cell");
  await page.keyboard.press("ArrowDown");
  await page.keyboard.press("c");                        // row 1: C, then B replaces it (single choice)
  await page.keyboard.press("b");
  assert.equal(await focused(), "第 1 题 B 已选");
  assert.equal(await cell(page, 1, "C").getAttribute("aria-label"), "第 1 题 C 未选");
  await page.keyboard.press("ArrowDown");
  await page.keyboard.press("ArrowRight");              // row 2, C by Space
  await page.keyboard.press(" ");
  assert.equal(await focused(), "第 2 题 C 已选");
  await page.keyboard.press("End");
  assert.equal(await focused(), "第 2 题 D 未选");
  await page.keyboard.press("Home");
  await page.keyboard.press("ArrowDown");
  await page.keyboard.press("a");
  await page.keyboard.press("c");
  assert.equal(await focused(), "第 3 题 C 已选");
  await page.keyboard.press("ArrowDown");
  await page.keyboard.press("ArrowDown");
  await page.keyboard.press("Enter");
  assert.equal(await page.evaluate(() => document.activeElement?.id), "t6");
  await page.keyboard.type("11");
  await page.keyboard.press("Enter");
  assert.equal(await focused(), "第 4 题 文字答案 11", "back on the cell, named with its text");
  assert.equal(await page.locator("[role=gridcell][tabindex='0']").count(), 1, "one cell in the tab order");
  await until(async () => (await serverState(page)).answers.length === 4, "the keyboard's answers on the server");
});

test("a candidate who closes the tab resumes on another device with everything kept", async () => {
  const first = await (await browser.newContext({ viewport: { width: 768, height: 1024 } })).newPage();
  await signIn(first, "丙", "3");
  const code = await first.textContent("#resumeCodeText");
  await cell(first, 1, "A").click();
  await cell(first, 2, "C").click();
  await until(async () => (await serverState(first)).answers.length === 2, "the mouse's answers on the server");
  await first.context().close();

  const page = pages.mouse = await (await browser.newContext({ viewport: { width: 768, height: 1024 } })).newPage();
  await page.goto(server.base + "/");
  await page.fill("#resumeName", "丙");
  await page.fill("#resumeNumber", "3");
  await page.fill("#resumeCode", code);
  await page.click("#resumeButton");
  await page.waitForSelector("#answerGrid");
  assert.equal(await cell(page, 1, "A").getAttribute("aria-label"), "第 1 题 A 已选");
  assert.equal(await cell(page, 2, "C").getAttribute("aria-label"), "第 2 题 C 已选");
});

test("killed with SIGKILL and restarted, every page carries on and nothing typed offline is lost", async () => {
  await stopServer(server, "SIGKILL");
  const { mouse, phone, keys } = pages;
  await until(() => mouse.isVisible("#offlineNotice"), "the offline notice");
  await cell(mouse, 3, "A").click();                    // typed while the server is down
  await mouse.fill("#t6", "12");
  await tap(cell(phone, 2, "C"));
  assert.equal(await cell(mouse, 3, "A").getAttribute("aria-label"), "第 3 题 A 已选");
  server = await startServer(paper, answers, port, ["--results", "now"]);
  for (const page of [mouse, phone, keys]) {
    await until(async () => !(await page.isVisible("#offlineNotice")), "the page back online");
  }
  await until(async () => (await serverState(mouse)).answers.length === 4, "offline answers sent once back");
  await until(async () => (await serverState(phone)).answers.length === 4, "the phone's offline answer sent").catch(async (e) => {
    console.log(await phone.textContent("body"), JSON.stringify(await serverState(phone)));
    throw e;
  });
});

test("the teacher extends everyone's time on the dashboard and every page shows it", async () => {
  const page = pages.teacher = await (await browser.newContext({ viewport: { width: 1280, height: 800 } })).newPage();
  await page.goto(`${server.base}/teacher?token=${server.token}`);
  await page.waitForSelector("#roomTable tbody tr");
  await page.fill("#extendMinutes", "10");
  await page.click("#extendAllButton");
  for (const who of ["phone", "keys", "mouse"]) {
    await until(async () => Number(await pages[who].textContent("#minutesLeft")) >= 38, `${who}'s clock extended`);
  }
});

test("at 200% zoom (half the CSS width) the exam reflows: no sideways scrolling, page above grid", async () => {
  const page = pages.keys;
  await page.setViewportSize({ width: 640, height: 400 });
  assert.equal(await page.evaluate(() => document.documentElement.scrollWidth <= window.innerWidth), true);
  const frame = await page.locator("#pageView").boundingBox();
  const grid = await page.locator("#answerGrid").boundingBox();
  assert.ok(frame.y + frame.height <= grid.y);
  await page.setViewportSize({ width: 1280, height: 800 });
});

test("hand-in asks the reader's question, then the page shows what qzt grade finds in the answer file", async () => {
  const shown = {};
  for (const who of ["phone", "keys", "mouse"]) {
    const page = pages[who];
    if (who === "phone") await tap(page.locator("#handInButton"));
    else await page.click("#handInButton");
    assert.equal(await page.textContent("#questionText"), "时间还没到，是否真的要试卷？");
    if (who === "keys") {
      await page.keyboard.press("Escape");                // 否 first: nothing happens
      assert.equal(await page.isEnabled("#handInButton"), true);
      await page.click("#handInButton");
    }
    await page.click("#yesButton");
    await page.waitForSelector("#scoreLine:has-text('总分')");
    shown[who] = { line: await page.textContent("#scoreLine"),
                   marks: await page.locator("td.right, td.wrong").allTextContents(),
                   correct: await page.locator("td.right + td, td.wrong + td").allTextContents() };
  }
  assert.deepEqual(await axeViolations(pages.mouse), []);
  assert.equal(await pages.phone.textContent("#commentText"), "不错！继续保持。");
  const files = readdirSync(answers).filter((f) => f.endsWith(".da")).sort();
  assert.deepEqual(files, ["1-甲.da", "2-乙.da", "3-丙.da"]);
  const byNumber = { 1: "phone", 2: "keys", 3: "mouse" };
  for (const file of files) {
    const graded = JSON.parse(qzt("grade", paper, join(answers, file), "--json"));
    const page = shown[byNumber[file[0]]];
    assert.equal(page.line, graded.report, file);
    assert.deepEqual(page.marks, graded.rows.map((r) => r.result), file);
    assert.deepEqual(page.correct, graded.rows.map((r) => r.correct), file);
  }
  assert.equal(shown.phone.line, "总分：10 得分：10 正确率：100");
  assert.deepEqual(shown.keys.marks, ["√", "√", "√", "Χ"], "the keyboard's 11 is wrong");
});

test("the dashboard shows the room and the same figures as qzt report", async () => {
  const page = pages.teacher;
  assert.equal(new URL(page.url()).search, "", "the token left the address bar");
  await until(async () => (await page.textContent("#reportSummary dd")) === "3", "the three hand-ins on the dashboard");
  const report = JSON.parse(qzt("report", paper, answers, "--json"));
  const fmt = (n) => (n === null ? "—" : String(Math.round(n * 10) / 10));
  const s = report.summary;
  assert.deepEqual(await page.locator("#reportSummary dd").allTextContents(),
    [String(s.count), String(s.refused), fmt(s.mean), fmt(s.median), fmt(s.stdev), fmt(s.min), fmt(s.max), fmt(report.paper.total)]);
  assert.deepEqual(await page.locator("#histogram .n").allTextContents(), s.histogram.map(String));
  assert.deepEqual(await page.locator("#itemTable tbody td:nth-child(3)").allTextContents(),
    report.questions.map((q) => String(q.right)));
  const room = await getJson(server, "/api/teacher/room");
  assert.equal(await page.locator("#roomTable tbody tr").count(), room.candidates.length);
  assert.match(await page.textContent("#roomSummary"), /已交卷 3/);
  assert.deepEqual(await axeViolations(page), []);
});

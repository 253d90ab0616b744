// The page of `qzt report --html` in chromium: its own sorting script runs
// under the page's content policy, the students table sorts by any column,
// and a student's file name never becomes markup or script.
import assert from "node:assert/strict";
import { mkdirSync, writeFileSync } from "node:fs";
import { join } from "node:path";
import { pathToFileURL } from "node:url";
import { after, before, test } from "node:test";
import { axeViolations, launch, packPaper, qzt, tempDir } from "./harness.mjs";
import { classroomManifest, classroomPage } from "./papers.mjs";

const hostileName = "<img src=x onerror=\"document.title='pwned'\">";
// Rows: heading, 1 (B), 2 (C), 3 (A C), heading, 4 (12): 10 marks.
const students = [
  ["张三", ["B", "C", "AC", "12"]],    // 10
  ["李四", ["B", "", "", ""]],        // 2
  [hostileName, ["B", "C", "", "12"]], // 7
  ["=1+1", ["A", "", "", ""]],        // 0
  ["王五", ["B", "C", "A", "12"]],    // 7
];

let browser;
let page;
const problems = [];

before(async () => {
  const dir = tempDir();
  const paper = packPaper(dir, classroomManifest(30), classroomPage);
  const answers = join(dir, "answers");
  mkdirSync(answers);
  for (const [name, [a, b, c, d]] of students) {
    writeFileSync(join(answers, `${name}.da`), ["WEB-E2E", "", a, b, c, "", d, ""].join("\r\n"));
  }
  const html = join(dir, "class.html");
  qzt("report", paper, answers, "--html", html);
  browser = await launch();
  page = await browser.newPage();
  page.on("console", (m) => { if (m.type() === "error") problems.push(m.text()); });
  page.on("pageerror", (e) => problems.push(String(e)));
  await page.goto(pathToFileURL(html).href);
});

after(async () => { await browser?.close(); });

const column = (n) => page.$$eval("#students tbody tr", (rows, i) => rows.map((r) => r.cells[i].textContent), n);

test("names stay text and nothing breaks the page's policy", async () => {
  assert.equal(await page.title(), "课堂测验 成绩报告");
  assert.equal(await page.locator("img").count(), 0);
  assert.deepEqual(await column(0), ["张三", hostileName, "王五", "李四", "=1+1"]);
  assert.deepEqual(await column(1), ["1", "2", "2", "4", "5"], "ties share a rank");
  assert.deepEqual(problems, []);
});

test("the students table sorts by any column, again to reverse", async () => {
  const sortBy = (heading) => page.locator("#students thead button", { hasText: heading }).click();
  await sortBy("得分");
  assert.deepEqual(await column(2), ["0", "2", "7", "7", "10"]);
  assert.equal(await page.getAttribute("#students thead th:nth-child(3)", "aria-sort"), "ascending");
  await sortBy("得分");
  assert.deepEqual(await column(2), ["10", "7", "7", "2", "0"]);
  await sortBy("一、选择题");
  assert.deepEqual(await column(4), ["0", "2", "4", "4", "7"]);
  await sortBy("姓名");
  const names = await column(0);
  const collated = await page.evaluate((n) => [...n].sort((a, b) => a.localeCompare(b, "zh-CN", { numeric: true })), names);
  assert.deepEqual(names, collated);
  assert.deepEqual(problems, []);
});

test("no accessibility violations", async () => {
  assert.deepEqual(await axeViolations(page), []);
});

// The dashboard's grading password and downloads: a paper with a grading
// password grades nothing until the teacher types it on the dashboard;
// then the room, the candidate's page and the downloads (report HTML and
// CSV, the answers zip) hold what qzt grade and qzt report find in DIR.
import assert from "node:assert/strict";
import { readdirSync, readFileSync } from "node:fs";
import { join } from "node:path";
import { after, before, test } from "node:test";
import { axeViolations, freePort, launch, packPaper, qzt, startServer, stopServer, tempDir, until } from "./harness.mjs";
import { classroomManifest, classroomPage } from "./papers.mjs";

const kGradePassword = "批改2026";
const dir = tempDir();
const answers = join(dir, "answers");
let paper, server, browser, candidate, teacher;

before(async () => {
  paper = packPaper(dir, { ...classroomManifest(30), grade_password: kGradePassword }, classroomPage);
  server = await startServer(paper, answers, await freePort(), ["--results", "now"]);
  browser = await launch();
});
after(async () => {
  await browser?.close();
  if (server) await stopServer(server);
});

const cell = (page, label, letter) => page.locator(`[role=gridcell][aria-label^="第 ${label} 题 ${letter} "]`);

// The entries of a zip as written without compression (the only form
// the server writes), each checked against its CRC-32.
function storedZipEntries(bytes) {
  const crcTable = Array.from({ length: 256 }, (_, n) => {
    let c = n;
    for (let k = 0; k < 8; ++k) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
    return c >>> 0;
  });
  const crc32 = (data) => {
    let c = 0xffffffff;
    for (const b of data) c = crcTable[(c ^ b) & 0xff] ^ (c >>> 8);
    return (c ^ 0xffffffff) >>> 0;
  };
  const entries = new Map();
  let at = 0;
  while (bytes.readUInt32LE(at) === 0x04034b50) {
    assert.equal(bytes.readUInt16LE(at + 8), 0, "stored, not compressed");
    const crc = bytes.readUInt32LE(at + 14), size = bytes.readUInt32LE(at + 18);
    const nameLength = bytes.readUInt16LE(at + 26), extraLength = bytes.readUInt16LE(at + 28);
    const name = bytes.subarray(at + 30, at + 30 + nameLength).toString("utf8");
    const start = at + 30 + nameLength + extraLength;
    const data = bytes.subarray(start, start + size);
    assert.equal(crc32(data), crc, `${name}: CRC-32`);
    entries.set(name, Buffer.from(data));
    at = start + size;
  }
  assert.equal(bytes.readUInt32LE(at), 0x02014b50, "the central directory follows the entries");
  return entries;
}

async function download(page, linkText) {
  const [file] = await Promise.all([page.waitForEvent("download"), page.click(`a:has-text("${linkText}")`)]);
  return { name: file.suggestedFilename(), bytes: readFileSync(await file.path()) };
}

test("a hand-in waits for the grading password", async () => {
  candidate = await (await browser.newContext()).newPage();
  await candidate.goto(server.base + "/");
  await candidate.fill("#name", "戊");
  await candidate.fill("#number", "5");
  await candidate.click("#signInButton");
  await candidate.waitForSelector("#answerGrid [role=gridcell]");
  await cell(candidate, 1, "B").click();
  await cell(candidate, 3, "A").click();
  await candidate.fill("#t6", "12");
  await candidate.click("#handInButton");
  await candidate.click("#yesButton");
  await candidate.waitForSelector("#scoreLine:has-text('已交卷')");
  assert.equal(await candidate.textContent("#scoreLine"), "已交卷，等待老师输入批改密码后显示成绩");
  assert.equal(await candidate.locator("td.right, td.wrong").count(), 0, "no mark before the password");
});

test("the teacher gives the grading password on the dashboard: a wrong one is refused, the right one grades", async () => {
  teacher = await (await browser.newContext({ viewport: { width: 1280, height: 800 } })).newPage();
  await teacher.goto(`${server.base}/teacher?token=${server.token}`);
  await teacher.waitForSelector("#gradePasswordForm:not([hidden])");
  assert.deepEqual(await axeViolations(teacher), []);
  const scoreCell = teacher.locator("#roomTable tbody tr td:nth-child(6)");
  assert.equal(await scoreCell.textContent(), "—");
  await until(async () => (await teacher.textContent("#reportSummary dd")) === "0", "a class report without grades");
  // Answered of the rows a candidate answers: the two headings are none.
  assert.equal(await teacher.textContent("#roomTable tbody tr td:nth-child(4)"), "3 / 4");

  await teacher.fill("#gradePassword", "不对");
  await teacher.press("#gradePassword", "Enter");
  await until(async () => (await teacher.textContent("#teacherNotice")) === "批改密码不对", "the refusal");
  assert.equal(await teacher.isVisible("#gradePasswordForm"), true);
  assert.equal(await teacher.inputValue("#gradePassword"), "", "the typed password is not left on screen");

  await teacher.fill("#gradePassword", kGradePassword);
  await teacher.click("#gradePasswordForm button");
  await until(async () => (await teacher.textContent("#teacherNotice")) === "批改密码正确，成绩已显示", "the acceptance");
  await teacher.waitForSelector("#gradePasswordForm[hidden]", { state: "attached" });
  const graded = JSON.parse(qzt("grade", paper, join(answers, "5-戊.da"), "--grade-password", kGradePassword, "--json"));
  await until(async () => (await scoreCell.textContent()) === String(graded.score), "the score in the room");
  // The candidate's page polls and shows the grade qzt grade finds.
  await until(async () => (await candidate.textContent("#scoreLine")) === graded.report, "the score on the candidate's page");
  assert.deepEqual(await candidate.locator("td.right, td.wrong").allTextContents(), graded.rows.map((r) => r.result));
  await until(async () => (await teacher.textContent("#reportSummary dd")) === "1", "the hand-in in the class report");
});

test("the downloads hold the class report and every answer file", async () => {
  const html = await download(teacher, "下载成绩报告 (HTML)");
  const csv = await download(teacher, "下载成绩表 (CSV)");
  const zip = await download(teacher, "下载全部答案 (ZIP)");
  assert.deepEqual([html.name, csv.name, zip.name], ["report.html", "report.csv", "answers.zip"]);

  // The same files qzt report writes over DIR's hand-ins.
  qzt("report", paper, answers, "--grade-password", kGradePassword,
      "--html", join(dir, "report.html"), "--csv", join(dir, "report.csv"));
  assert.equal(csv.bytes.toString("utf8"), readFileSync(join(dir, "report.csv"), "utf8"));
  // The report's date is the minute it was made: the two may fall in different minutes.
  const undated = (text) => text.replace(/报告日期：[^<]*/, "报告日期：");
  assert.equal(undated(html.bytes.toString("utf8")), undated(readFileSync(join(dir, "report.html"), "utf8")));
  assert.match(csv.bytes.toString("utf8"), /5-戊\.da/);
  assert.match(html.bytes.toString("utf8"), /课堂测验/);

  const entries = storedZipEntries(zip.bytes);
  const onDisk = readdirSync(answers).filter((f) => f.endsWith(".da")).sort();
  assert.deepEqual([...entries.keys()].sort(), onDisk, "every answer file and nothing else");
  for (const name of onDisk) assert.deepEqual(entries.get(name), readFileSync(join(answers, name)), name);
});

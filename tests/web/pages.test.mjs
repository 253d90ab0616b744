// Pages that are no web page, and what the screen reader hears: a GBK
// text page and an RTF page shown in the browser's frame; a paper with
// letters past Z; the 5-minute alert as a live region.
import assert from "node:assert/strict";
import { mkdirSync, writeFileSync } from "node:fs";
import { join } from "node:path";
import { after, before, test } from "node:test";
import { axeViolations, freePort, launch, packPaper, qzt, startServer, stopServer, tempDir, until } from "./harness.mjs";
import { classroomManifest, classroomPage } from "./papers.mjs";

let browser;
const servers = [];
before(async () => { browser = await launch(); });
after(async () => {
  await browser?.close();
  for (const server of servers) await stopServer(server);
});

// Serves a paper whose page is the file `name` holding `bytes`.
async function serveWithPage(name, bytes, manifest = classroomManifest(30)) {
  const dir = tempDir();
  mkdirSync(join(dir, "src"), { recursive: true });
  writeFileSync(join(dir, "src", name), bytes);
  const paper = packPaper(dir, { ...manifest, page: name }, classroomPage);
  const server = await startServer(paper, join(dir, "answers"), await freePort(), ["--results", "now"]);
  servers.push(server);
  return { server, paper, answers: join(dir, "answers") };
}

async function signIn(server, name, number) {
  const page = await (await browser.newContext({ viewport: { width: 1280, height: 800 } })).newPage();
  await page.goto(server.base + "/");
  await page.fill("#name", name);
  await page.fill("#number", number);
  await page.click("#signInButton");
  await page.waitForSelector("#answerGrid [role=gridcell]");
  return page;
}

// The text the sandboxed frame shows, once it has loaded.
async function frameText(page) {
  const frame = await (await page.waitForSelector("#pageView")).contentFrame();
  return until(async () => (await frame.textContent("body"))?.trim(), "the page in its frame");
}

test("a GBK text page shows as text in the frame, markup as it stands", async () => {
  const gbk = Buffer.concat([Buffer.from([0xca, 0xd4, 0xbe, 0xed, 0xb5, 0xda, 0xd2, 0xbb, 0xcc, 0xe2]),  // 试卷第一题
                             Buffer.from("\r\n1. A. <b>2</b> & B. 3\r\n")]);
  const { server } = await serveWithPage("paper.txt", gbk);
  const page = await signIn(server, "甲", "1");
  const text = await frameText(page);
  assert.match(text, /^试卷第一题\n1\. A\. <b>2<\/b> & B\. 3$/);
  assert.deepEqual(await axeViolations(page), []);
});

test("an RTF page shows its text, bold, tables and pictures in the frame, never its control words or markup", async () => {
  const rtf = String.raw`{\rtf1\ansi\ansicpg936\deff0{\fonttbl{\f0\fnil\fcharset134 SimSun;}}{\colortbl;\red255\green0\blue0;}` +
    String.raw`\f0\fs24 \'ca\'d4\'be\'ed\par\b Bold\b0  and \u35797?\par{\*\generator hidden}Last line <script>x</script>\par` +
    String.raw`\trowd\cellx2000\cellx4000\intbl \'cc\'e2\cell A\cell\row\trowd\cellx2000\cellx4000\intbl 1\cell B\cell\row\pard End\par` +
    String.raw`{\*\shppict{\pict\pngblip\picwgoal600\pichgoal600 89504e470d0a1a0a0000000d4948445200000002000000020802000000fdd49a73` +
    String.raw`0000001049444154789c63f8cfc000440c100a001fee03fd8b5f14d40000000049454e44ae426082}}}`;
  const { server } = await serveWithPage("paper.rtf", Buffer.from(rtf, "latin1"));
  const page = await signIn(server, "乙", "2");
  const text = await frameText(page);
  assert.match(text, /试卷\s*Bold and 试\s*Last line <script>x<\/script>/);
  assert.doesNotMatch(text, /SimSun|red255|generator|\\/);
  const frame = await (await page.$("#pageView")).contentFrame();
  const rows = await frame.$$eval("table tr", (trs) => trs.map((tr) => [...tr.cells].map((td) => td.textContent)));
  assert.deepEqual(rows, [["题", "A"], ["1", "B"]]);
  assert.equal(await frame.$$eval("script", (s) => s.length), 0);
  const bold = await frame.$$eval("span", (spans) => spans.filter((s) => s.textContent === "Bold")
    .map((s) => getComputedStyle(s).fontWeight));
  assert.deepEqual(bold, ["700"]);
  assert.match(await frame.innerText("body"), /B\s*End\s*$/);
  // A picture of the page loads under the frame's policy, at its size.
  const picture = await until(() => frame.$eval("img", (img) => img.complete && [img.naturalWidth, img.width]), "the picture");
  assert.deepEqual(picture, [2, 40]);
});

test("letters past Z: every column of the paper is chosen, named, saved and graded", async () => {
  const manifest = { ...classroomManifest(30),
    questions: [{ label: "1", kind: "single", options: 30, answer: "[", marks: 2 },
                { label: "2", kind: "multiple", options: 30, answer: "A ^", marks: 2 }] };
  const { server, paper, answers } = await serveWithPage("index.html", classroomPage, manifest);
  const page = await signIn(server, "丙", "3");
  const headers = await page.locator("#answerGrid thead th").allTextContents();
  assert.deepEqual(headers.slice(25, 31), ["Y", "Z", "[", "\\", "]", "^"]);
  await page.locator('[role=gridcell][aria-label="第 1 题 [ 未选"]').click();
  await page.locator('[role=gridcell][aria-label="第 2 题 A 未选"]').click();
  await page.locator('[role=gridcell][aria-label="第 2 题 ^ 未选"]').click();
  assert.equal(await page.locator('[role=gridcell][aria-label="第 1 题 [ 已选"]').textContent(), "[");
  const state = await until(async () => {
    const s = await page.evaluate(() => fetch("/api/state").then((r) => r.json()));
    return s.answers.length === 2 && s;
  }, "the answers on the server");
  assert.deepEqual(state.answers, [{ row: 1, letters: "[" }, { row: 2, letters: "A^" }]);
  // The room counts both rows answered, of the paper's two.
  const room = await (await fetch(server.base + "/api/teacher/room", { headers: { Authorization: `Bearer ${server.token}` } })).json();
  assert.deepEqual([room.candidates[0].answered, room.questionCount], [2, 2]);
  // A reload brings them back from the server, as they were.
  await page.reload();
  await page.waitForSelector('[role=gridcell][aria-label="第 2 题 ^ 已选"]');
  await page.click("#handInButton");
  await page.click("#yesButton");
  await page.waitForSelector("#scoreLine:has-text('总分')");
  const graded = JSON.parse(qzt("grade", paper, join(answers, "3-丙.da"), "--json"));
  assert.equal(await page.textContent("#scoreLine"), graded.report);
  assert.equal(graded.score, 4);
  assert.deepEqual(await page.locator("td.right + td, td.wrong + td").allTextContents(), ["[", "A ^"]);
});

test("the 5-minute alert is an assertive live region the screen reader reads, and goes when time is added", async () => {
  const { server } = await serveWithPage("index.html", classroomPage, classroomManifest(5));
  const page = await signIn(server, "丁", "4");
  await until(async () => (await page.textContent("#timeWarning")) === "剩余答题时间不超过 5 分钟", "the 5-minute alert");
  const cdp = await page.context().newCDPSession(page);
  const { nodes } = await cdp.send("Accessibility.getFullAXTree");
  const property = (node, name) => node.properties?.find((p) => p.name === name)?.value.value;
  const alert = nodes.find((n) => n.role?.value === "alert");
  assert.ok(alert, "an alert in the accessibility tree");
  assert.equal(property(alert, "live"), "assertive");
  const text = nodes.filter((n) => n.parentId === alert.nodeId).map((n) => n.name?.value).join("");
  assert.equal(text, "剩余答题时间不超过 5 分钟");
  const clock = nodes.find((n) => n.role?.value === "status" && property(n, "live") === "polite" &&
                                  nodes.some((c) => c.parentId === n.nodeId && /^剩余答题时间 [45] 分 \d+ 秒$/.test(c.name?.value)));
  assert.ok(clock, "the remaining time as a polite status");
  assert.deepEqual(await axeViolations(page), []);

  const extended = await fetch(server.base + "/api/teacher/extend", {
    method: "POST", headers: { Authorization: `Bearer ${server.token}`, "Content-Type": "application/json" },
    body: JSON.stringify({ candidate: null, minutes: 10 }) });
  assert.equal(extended.status, 200);
  await until(async () => (await page.textContent("#timeWarning")) === "", "the alert gone with 15 minutes left");
});

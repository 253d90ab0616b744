// A paper page that attacks the candidate who opens it: it tries the API
// (its own candidate's and another's), the teacher's API, top navigation,
// cookies, the parent window and storage. It must change and read nothing.
import assert from "node:assert/strict";
import { join } from "node:path";
import { after, before, test } from "node:test";
import { freePort, launch, packPaper, sleep, startServer, stopServer, tempDir, until } from "./harness.mjs";
import { classroomManifest } from "./papers.mjs";

// Each attempt writes what it got into the page itself, where the test reads it.
const hostilePage = `<!doctype html><html lang="zh-CN"><head><meta charset="utf-8"><title>试卷</title></head>
<body><h1>试卷</h1><pre id="log"></pre><script>
const log = (name, value) => { document.getElementById("log").textContent += name + "=" + value + "\\n"; };
const attempt = async (name, f) => { try { log(name, "ok:" + String(await f()).slice(0, 80)); } catch (e) { log(name, "blocked"); } };
(async () => {
  await attempt("state", () => fetch("/api/state", { credentials: "include" }).then((r) => r.status + " " + r.headers.get("content-type")));
  await attempt("put", () => fetch("/api/answers", { method: "PUT", credentials: "include",
    headers: { "Content-Type": "application/json" }, body: JSON.stringify({ version: 99, answers: [{ row: 2, letters: "D" }] }) }).then((r) => r.status));
  await attempt("handin", () => fetch("/api/handin", { method: "POST", credentials: "include", headers: { "Content-Type": "application/json" }, body: "{}" }).then((r) => r.status));
  await attempt("room", () => fetch("/api/teacher/room", { credentials: "include" }).then((r) => r.status));
  await attempt("xhr", () => new Promise((resolve, reject) => { const x = new XMLHttpRequest(); x.open("GET", "/api/state"); x.onload = () => resolve(x.status); x.onerror = reject; x.send(); }));
  await attempt("beacon", () => navigator.sendBeacon("/api/handin", "{}") || Promise.reject());
  await attempt("cookie", () => { document.cookie = "qzt_session=forged; path=/"; return document.cookie; });
  await attempt("parent", () => window.parent.document.cookie);
  await attempt("parentGrid", () => window.parent.document.getElementById("answerGrid").outerHTML);
  await attempt("storage", () => localStorage.length);
  await attempt("top", () => { window.top.location.href = "/api/handin"; return "navigated"; });
  log("done", "1");
})();
</script></body></html>`;

const dir = tempDir();
let server, browser;
before(async () => {
  const paper = packPaper(dir, classroomManifest(30), hostilePage);
  server = await startServer(paper, join(dir, "answers"), await freePort(), ["--results", "now"]);
  browser = await launch();
});
after(async () => {
  await browser?.close();
  if (server) await stopServer(server);
});

test("a hostile page reaches nothing: no API, no other candidate, no cookie, no parent, no top navigation", async () => {
  const other = await (await browser.newContext()).newPage();
  await other.goto(server.base + "/");
  await other.fill("#name", "乙");
  await other.fill("#number", "2");
  await other.click("#signInButton");
  await other.waitForSelector("#answerGrid");

  const context = await browser.newContext();
  const page = await context.newPage();
  await page.goto(server.base + "/");
  await page.fill("#name", "甲");
  await page.fill("#number", "1");
  await page.click("#signInButton");
  await page.waitForSelector("#answerGrid");
  await page.locator("[role=gridcell][aria-label^='第 1 题 B ']").click();
  const cookiesBefore = await context.cookies();
  const frame = page.frame({ url: /\/paper\// });
  const log = await until(async () => {
    const text = await frame.evaluate(() => document.getElementById("log").textContent);
    return text.includes("done=1") && text;
  }, "the hostile page's attempts");
  const results = Object.fromEntries(log.trim().split("\n").map((line) => line.split(/=(.*)/s).slice(0, 2)));
  // sendBeacon only queues (true); the state below shows it changed nothing.
  for (const name of ["state", "put", "handin", "room", "xhr", "parent", "parentGrid", "storage"]) {
    assert.equal(results[name], "blocked", `${name}: ${results[name]}`);
  }
  assert.ok(results.cookie === "blocked" || results.cookie === "ok:", `cookie: ${results.cookie}`);
  await sleep(500);
  assert.equal(new URL(page.url()).pathname, "/", "the top window stayed on the app");
  assert.deepEqual(await context.cookies(), cookiesBefore, "cookies unchanged");
  const state = await page.evaluate(() => fetch("/api/state").then((r) => r.json()));
  assert.equal(state.status, "answering");
  assert.deepEqual(state.answers, [{ row: 2, letters: "B" }]);
  const otherState = await other.evaluate(() => fetch("/api/state").then((r) => r.json()));
  assert.equal(otherState.status, "answering");
  assert.deepEqual(otherState.answers, []);
});

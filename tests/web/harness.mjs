// What the browser tests share: papers packed by `qzt pack`, `qzt serve`
// on 127.0.0.1, Debian's chromium driven by playwright-core, axe-core.
import { spawn, spawnSync } from "node:child_process";
import { mkdtempSync, mkdirSync, readFileSync, rmSync, writeFileSync } from "node:fs";
import { createServer } from "node:net";
import { createRequire } from "node:module";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { chromium } from "playwright-core";

const require = createRequire(import.meta.url);
export const QZT = process.env.QZT_BINARY ?? "build/src/cli/qzt";
const CHROMIUM = process.env.QZT_CHROMIUM ?? "/usr/bin/chromium";

export function tempDir() {
  const dir = mkdtempSync(join(tmpdir(), "qzt-web-"));
  process.on("exit", () => rmSync(dir, { recursive: true, force: true }));
  return dir;
}

export function qzt(...args) {
  const run = spawnSync(QZT, args, { encoding: "utf8", timeout: 60_000 });
  if (run.status !== 0) throw new Error(`qzt ${args.join(" ")}: ${run.status}\n${run.stderr}`);
  return run.stdout;
}

// Packs MANIFEST (an object) with the page html into DIR/paper.qzt.
export function packPaper(dir, manifest, pageHtml, notesHtml) {
  const src = join(dir, "src");
  mkdirSync(src, { recursive: true });
  writeFileSync(join(src, "index.html"), pageHtml);
  if (notesHtml) writeFileSync(join(src, "notes.html"), notesHtml);
  const full = { version: "1.0", page: "index.html", ...(notesHtml ? { notes: "notes.html" } : {}), ...manifest };
  writeFileSync(join(src, "manifest.json"), JSON.stringify(full));
  const paper = join(dir, "paper.qzt");
  qzt("pack", join(src, "manifest.json"), paper);
  return paper;
}

export function freePort() {
  return new Promise((resolve, reject) => {
    const probe = createServer();
    probe.once("error", reject);
    probe.listen(0, "127.0.0.1", () => {
      const { port } = probe.address();
      probe.close(() => resolve(port));
    });
  });
}

// Starts `qzt serve` and waits (bounded) for the teacher's address it prints.
export async function startServer(paper, answers, port, extra = []) {
  const child = spawn(QZT, ["serve", paper, "--answers", answers, "--listen", `127.0.0.1:${port}`, ...extra],
                      { stdio: ["ignore", "pipe", "pipe"] });
  let out = "";
  child.stdout.on("data", (d) => { out += d; });
  child.stderr.on("data", (d) => { out += d; });
  for (let i = 0; i < 100; ++i) {
    const m = out.match(/http:\/\/127\.0\.0\.1:\d+\/teacher\?token=([0-9a-f]+)/);
    if (m) return { child, port, base: `http://127.0.0.1:${port}`, token: m[1], output: () => out };
    if (child.exitCode !== null) break;
    await sleep(50);
  }
  child.kill("SIGKILL");
  throw new Error(`qzt serve did not start:\n${out}`);
}

export function stopServer(server, signal = "SIGINT") {
  return new Promise((resolve) => {
    if (server.child.exitCode !== null) return resolve();
    server.child.once("exit", () => resolve());
    server.child.kill(signal);
  });
}

export const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

// Polls `check` until it returns a truthy value; bounded in time.
export async function until(check, what, ms = 15_000) {
  const end = Date.now() + ms;
  let last;
  while (Date.now() < end) {
    try {
      last = await check();
      if (last) return last;
    } catch (e) {
      last = e;
    }
    await sleep(100);
  }
  throw new Error(`timed out waiting for ${what} (last: ${last})`);
}

export function launch() {
  return chromium.launch({
    executablePath: CHROMIUM,
    args: ["--no-sandbox", "--headless", "--disable-gpu", "--disable-background-networking",
           "--disable-component-update", "--disable-sync", "--no-first-run"],
  });
}

const axeSource = readFileSync(require.resolve("axe-core/axe.min.js"), "utf8");

// axe-core's violations on the page as it stands, as short lines.
export async function axeViolations(page) {
  // Evaluated through the debugging protocol: the app's CSP allows no inline script.
  await page.evaluate(axeSource);
  const result = await page.evaluate(async () => {
    // eslint-disable-next-line no-undef
    const r = await axe.run(document, { resultTypes: ["violations"] });
    return r.violations.map((v) => `${v.id}: ${v.help} (${v.nodes.map((n) => n.target.join(" ")).join(", ")})`);
  });
  return result;
}

// The server's JSON, as the teacher (bearer token) or anyone.
export async function getJson(server, path, teacher = true) {
  const reply = await fetch(server.base + path, { headers: teacher ? { Authorization: `Bearer ${server.token}` } : {} });
  if (!reply.ok) throw new Error(`${path}: ${reply.status}`);
  return reply.json();
}

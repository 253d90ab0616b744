// Builds the two apps into OUT: index.html, teacher.html, and /app/ files.
// Usage: node web/build.mjs OUT
import { build } from "esbuild";
import { mkdirSync, readFileSync, writeFileSync } from "node:fs";
import { dirname, join } from "node:path";
import { fileURLToPath } from "node:url";

const here = dirname(fileURLToPath(import.meta.url));
const out = process.argv[2];
mkdirSync(join(out, "app"), { recursive: true });
await build({
  entryPoints: { candidate: join(here, "src/candidate/main.ts"), teacher: join(here, "src/teacher/main.ts") },
  bundle: true, minify: true, format: "iife", target: "es2020", outdir: join(out, "app"), logLevel: "warning",
  legalComments: "none",
});
writeFileSync(join(out, "app", "style.css"), readFileSync(join(here, "src/style.css")));
const page = (title, script) => `<!doctype html>
<html lang="zh-CN"><head><meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>${title}</title><link rel="stylesheet" href="/app/style.css"></head>
<body><div id="app"></div><script src="/app/${script}.js"></script></body></html>
`;
writeFileSync(join(out, "index.html"), page("考试", "candidate"));
writeFileSync(join(out, "teacher.html"), page("教师看板", "teacher"));

// The papers the browser tests pack: a short mixed paper and its page.
export const classroomManifest = (minutes) => ({
  title: "课堂测验", key: "WEB-E2E", time_limit: minutes,
  status_text: "课堂测验  共 4 题",
  comments_by_percent: true,
  comments: [{ range: "0-59", lines: ["还需努力。"] }, { range: "60-100", lines: ["不错！", "继续保持。"] }],
  questions: [
    { kind: "heading", text: "一、选择题" },
    { label: "1", kind: "single", options: 4, answer: "B", marks: 2 },
    { label: "2", kind: "single", options: 4, answer: "C", marks: 2 },
    { label: "3", kind: "multiple", options: 4, answer: ["A", "C"], marks: 3 },
    { kind: "heading", text: "二、填空题" },
    { label: "4", kind: "text", answer: "12", marks: 3 },
  ],
});

export const classroomPage = `<!doctype html><html lang="zh-CN"><head><meta charset="utf-8"><title>课堂测验</title></head>
<body><h1>课堂测验</h1><p>1. 下面哪个是偶数？ A. 1 B. 2 C. 3 D. 5</p>
<p>2. 一年有几个季节？ A. 2 B. 3 C. 4 D. 5</p><p>3. 哪些是质数？ A. 2 B. 4 C. 5 D. 9</p>
<p>4. 一年有几个月？</p></body></html>`;

export const notesPage = `<!doctype html><html lang="zh-CN"><head><meta charset="utf-8"><title>注释</title></head>
<body><h1>注释</h1><p>2 是偶数。</p></body></html>`;

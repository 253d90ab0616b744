// The teacher's dashboard: the room, the live class report and the actions.
import { h, replace } from "../common/dom";
import { call, HttpError } from "../common/http";
import { ask } from "../common/dialog";

interface Candidate {
  id: number; name: string; number: string; status: "signedIn" | "answering" | "handedIn";
  answered: number; remainingSeconds: number; score: number | null; rate: number | null;
  lastSeenSeconds: number; stale: boolean;
}
interface Room { open: boolean; gradePasswordNeeded: boolean; questionCount: number; candidates: Candidate[] }
interface Question {
  row: number; label: string; kind: string; correct: string; right: number;
  facility: number | null; discrimination: number | null; answers: { answer: string; count: number }[];
}
interface Report {
  paper: { title: string; questions: number; total: number };
  summary: { count: number; refused: number; mean: number | null; median: number | null; stdev: number | null;
             min: number | null; max: number | null; histogram: number[] };
  questions: Question[];
}

const kPollMs = 3000;
const statusNames = { signedIn: "已登录", answering: "答题中", handedIn: "已交卷" };
const root = document.getElementById("app")!;

const fmt = (n: number | null | undefined, digits = 1) =>
  n === null || n === undefined ? "—" : String(Math.round(n * 10 ** digits) / 10 ** digits);
const clockText = (s: number) => `${Math.floor(s / 60)}:${String(s % 60).padStart(2, "0")}`;

const notice = h("p", { id: "teacherNotice", role: "status", class: "notice" });
const roomBody = h("tbody");
const roomSummary = h("p", { id: "roomSummary", class: "big" });
const reportPanel = h("section", { id: "reportPanel", "aria-labelledby": "reportTitle" });
const passwordForm = h("form", { id: "gradePasswordForm", hidden: true });

function candidateRow(c: Candidate, questionCount: number): HTMLTableRowElement {
  const extend = h("button", { type: "button", class: "small", "aria-label": `${c.name} 延长 5 分钟` }, "+5 分钟");
  extend.addEventListener("click", () => void act("/api/teacher/extend", { candidate: c.id, minutes: 5 }, `已为 ${c.name} 延长 5 分钟`));
  const letIn = h("button", { type: "button", class: "small", "aria-label": `让 ${c.name} 重新进入` }, "重新进入");
  letIn.addEventListener("click", async () => {
    const reply = await act<{ resumeCode: string }>("/api/teacher/letin", { candidate: c.id }, "");
    if (reply) notice.textContent = `${c.name} 的新恢复码：${reply.resumeCode}`;
  });
  const seen = c.stale ? `⚠ ${c.lastSeenSeconds} 秒前（失联）` : `${c.lastSeenSeconds} 秒前`;
  return h("tr", { class: c.stale ? "stale" : c.status },
    h("th", { scope: "row" }, c.name), h("td", {}, c.number), h("td", {}, statusNames[c.status]),
    h("td", { class: "num" }, `${c.answered} / ${questionCount}`),
    h("td", { class: "num" }, c.status === "handedIn" ? "—" : clockText(c.remainingSeconds)),
    h("td", { class: "num" }, fmt(c.score)), h("td", { class: "num" }, c.rate === null ? "—" : `${fmt(c.rate)}%`),
    h("td", {}, seen), h("td", { class: "actions" }, c.status === "handedIn" ? null : extend, letIn));
}

function showRoom(room: Room): void {
  const counts = { signedIn: 0, answering: 0, handedIn: 0 };
  for (const c of room.candidates) counts[c.status] += 1;
  const stale = room.candidates.filter((c) => c.stale).length;
  roomSummary.textContent = `${room.open ? "考试进行中" : "考试已结束"}：共 ${room.candidates.length} 人，答题中 ${counts.answering + counts.signedIn}，已交卷 ${counts.handedIn}` +
    (stale ? `，失联 ${stale}` : "");
  replace(roomBody, ...room.candidates.map((c) => candidateRow(c, room.questionCount)));
  passwordForm.hidden = !room.gradePasswordNeeded;
}

function showReport(report: Report): void {
  const s = report.summary;
  const most = Math.max(1, ...s.histogram);
  const bands = s.histogram.map((n, i) => h("li", { "aria-label": `${i * 10}–${i === 9 ? 100 : i * 10 + 9}%：${n} 人` },
    h("span", { class: "band" }, `${i * 10}%`), h("span", { class: "level", style: `width:${(n / most) * 100}%` }), h("span", { class: "n" }, String(n))));
  const flag = (q: Question) => {
    const flags: string[] = [];
    if (q.facility !== null && q.facility < 0.3) flags.push("偏难");
    if (q.facility !== null && q.facility > 0.9) flags.push("偏易");
    if (q.discrimination !== null && q.discrimination < 0.2) flags.push("区分度低");
    return flags.join("、");
  };
  const questions = report.questions.map((q) => h("tr", {},
    h("th", { scope: "row" }, q.label.trim() || String(q.row)), h("td", {}, q.correct), h("td", { class: "num" }, String(q.right)),
    h("td", { class: "num" }, fmt(q.facility, 2)), h("td", { class: "num" }, fmt(q.discrimination, 2)),
    h("td", {}, q.answers.map((a) => `${a.answer || "未答"}×${a.count}`).join("  ")), h("td", { class: "flag" }, flag(q))));
  replace(reportPanel,
    h("h2", { id: "reportTitle" }, "成绩统计"),
    h("dl", { id: "reportSummary", class: "summary" },
      ...([["已批改", String(s.count)], ["无法批改", String(s.refused)], ["平均分", fmt(s.mean)], ["中位数", fmt(s.median)],
           ["标准差", fmt(s.stdev)], ["最低分", fmt(s.min)], ["最高分", fmt(s.max)], ["总分", fmt(report.paper.total)]] as const)
        .map(([k, v]) => h("div", {}, h("dt", {}, k), h("dd", {}, v)))),
    h("h3", {}, "得分率分布"), h("ol", { id: "histogram", class: "histogram" }, ...bands),
    h("h3", {}, "各题"),
    h("div", { class: "scroll" }, h("table", { id: "itemTable", class: "items" },
      h("thead", {}, h("tr", {}, ...["题", "正确答案", "答对人数", "难度", "区分度", "作答分布", "提示"].map((t) => h("th", { scope: "col" }, t)))),
      h("tbody", {}, ...questions))));
}

async function act<T>(path: string, body: unknown, done: string): Promise<T | null> {
  try {
    const reply = await call<T>("POST", path, body);
    if (done) notice.textContent = done;
    void refresh();
    return reply;
  } catch (e) {
    notice.textContent = e instanceof Error ? e.message : String(e);
    return null;
  }
}

async function refresh(): Promise<void> {
  try {
    showRoom(await call<Room>("GET", "/api/teacher/room"));
    showReport(await call<Report>("GET", "/api/teacher/report"));
    document.body.classList.remove("offline");
  } catch (e) {
    if (e instanceof HttpError && e.status === 401) {
      notice.textContent = "需要教师地址：请打开服务器显示的 /teacher?token=… 地址";
    } else if (!(e instanceof HttpError)) {
      notice.textContent = "与服务器的连接已断开，正在重新连接……";
      document.body.classList.add("offline");
    }
  }
}

function actions(): HTMLElement {
  const minutes = h("input", { id: "extendMinutes", type: "number", min: 1, max: 600, value: 5, inputmode: "numeric" });
  const extendAll = h("button", { type: "submit", id: "extendAllButton" }, "全体延长");
  const extendForm = h("form", { class: "inline" }, h("label", { for: "extendMinutes" }, "延长（分钟）"), minutes, extendAll);
  extendForm.addEventListener("submit", (e) => {
    e.preventDefault();
    void act("/api/teacher/extend", { candidate: null, minutes: Number(minutes.value) }, `已为答题中的考生延长 ${minutes.value} 分钟`);
  });
  const end = h("button", { type: "button", id: "endButton", class: "danger" }, "结束考试");
  end.addEventListener("click", async () => {
    if (await ask("提示", "结束考试后所有考生都将交卷，是否真的要结束？")) void act("/api/teacher/end", {}, "考试已结束");
  });
  const password = h("input", { id: "gradePassword", type: "password", autocomplete: "off" });
  replace(passwordForm, h("label", { for: "gradePassword" }, "批改密码"), password, h("button", { type: "submit" }, "确定"));
  passwordForm.classList.add("inline");
  passwordForm.addEventListener("submit", (e) => {
    e.preventDefault();
    void act("/api/teacher/grade-password", { password: password.value }, "批改密码正确，成绩已显示");
    password.value = "";
  });
  const downloads = h("p", { class: "downloads" },
    h("a", { href: "/api/teacher/report.html", download: "" }, "下载成绩报告 (HTML)"),
    h("a", { href: "/api/teacher/report.csv", download: "" }, "下载成绩表 (CSV)"),
    h("a", { href: "/api/teacher/answers.zip", download: "" }, "下载全部答案 (ZIP)"));
  return h("section", { id: "actionsPanel", "aria-label": "操作" }, extendForm, end, passwordForm, downloads);
}

replace(root,
  h("header", { class: "bar" }, h("h1", {}, "教师看板"), roomSummary, notice),
  h("main", { class: "dashboard" },
    actions(),
    h("section", { "aria-labelledby": "roomTitle" }, h("h2", { id: "roomTitle" }, "考场"),
      h("div", { class: "scroll" }, h("table", { id: "roomTable", class: "room" },
        h("thead", {}, h("tr", {}, ...["姓名", "学号", "状态", "已答", "剩余时间", "得分", "正确率", "最后在线", "操作"].map((t) => h("th", { scope: "col" }, t)))),
        roomBody))),
    reportPanel));
void refresh();
window.setInterval(() => void refresh(), kPollMs);

// The paper: title, status text, the page in a sandboxed frame, the grid,
// the clock and hand-in; after hand-in the results as the server allows.
import { h, replace } from "../common/dom";
import { ask } from "../common/dialog";
import { Warning } from "./api";
import { AnswerGrid } from "./grid";
import { Store } from "./store";

function warningText(warning: Warning): string {
  if (warning === "five") return "剩余答题时间不超过 5 分钟";
  if (warning === "one") return "剩余答题时间不超过 1 分钟";
  return "";
}

export function examScreen(root: HTMLElement, store: Store, resumeCode: string | null, onSessionLost: () => void): void {
  const exam = store.exam!;
  const minutes = h("span", { id: "minutesLeft", class: "count" });
  const seconds = h("span", { id: "secondsLeft", class: "count" });
  const clock = h("p", { id: "clockLine", class: "clock", "aria-hidden": "true" },
    `答题时间：${exam.timeLimitMinutes}分钟 `, h("span", { class: "remaining" }, "剩余答题时间：", minutes, "分钟", seconds, "秒"));
  const spoken = h("p", { id: "remainingTime", class: "sr-only", role: "status", "aria-live": "polite" });
  const alert = h("p", { id: "timeWarning", class: "warning", role: "alert" });
  const offline = h("p", { id: "offlineNotice", class: "offline", role: "status", hidden: true },
    "与服务器的连接已断开，正在重新连接…… 已填的答案保存在本页，连接恢复后自动提交。");
  const refused = h("p", { id: "refusedNotice", class: "error", role: "alert" });
  const handIn = h("button", { type: "button", id: "handInButton" }, "批改试卷");
  const scoreLine = h("p", { id: "scoreLine", class: "score", "aria-live": "polite" });
  const results = h("section", { id: "resultsPanel", "aria-label": "成绩", hidden: true });
  const frame = h("iframe", {
    id: "pageView", title: `试卷：${exam.title}`, src: exam.page.src, sandbox: "allow-scripts",
    referrerpolicy: "no-referrer",
  });
  const grid = new AnswerGrid(store);
  const code = resumeCode
    ? h("p", { id: "resumeNotice", class: "notice", role: "note" }, "恢复码：", h("strong", { id: "resumeCodeText" }, resumeCode),
        "（请记下，关闭页面或换设备后用它继续答题）")
    : null;
  const pageToggle = h("button", { type: "button", id: "pageToggle", class: "toggle", "aria-pressed": "false" }, "只看答案区");

  // The screen it replaces had the keys: they start again at the paper's
  // title, which a screen reader reads, not wherever the browser lost them.
  const title = h("h1", { id: "paperTitle", tabindex: "-1" }, exam.title);
  replace(root,
    h("header", { class: "bar" },
      title, h("p", { class: "status", id: "statusText" }, exam.status),
      h("div", { class: "tools" }, clock, handIn, pageToggle), spoken, alert, offline, refused, code, scoreLine),
    h("main", { class: "paper" },
      h("section", { class: "page", "aria-label": "试卷" }, frame),
      h("section", { class: "sheet", "aria-label": "答案区" }, grid.element, results)));
  title.focus();

  pageToggle.addEventListener("click", () => {
    const on = document.body.classList.toggle("sheet-only");
    pageToggle.setAttribute("aria-pressed", String(on));
  });
  handIn.addEventListener("click", async () => {
    if (store.remainingSeconds() > 0 && !(await ask("提示1.0", "时间还没到，是否真的要试卷？"))) return;
    handIn.disabled = true;
    try {
      await store.handIn();
    } catch {
      handIn.disabled = false;
    }
  });

  let lastMinute = -1;
  let lastWarning: Warning = "none";
  let shownSheet = "";
  const tick = () => {
    const left = store.remainingSeconds();
    const m = Math.floor(left / 60);
    minutes.textContent = String(m);
    seconds.textContent = String(left % 60);
    if (m !== lastMinute && store.status === "answering") {
      lastMinute = m;
      spoken.textContent = `剩余答题时间 ${m} 分 ${left % 60} 秒`;
    }
    const warning: Warning = store.status !== "answering" ? "none" : left <= 60 && left > 0 ? "one" : left <= 300 && left > 0 ? "five" : store.warning;
    if (warning !== lastWarning) {
      lastWarning = warning;
      alert.textContent = warningText(warning);
      clock.classList.toggle("warn", warning !== "none");
    }
    if (left === 0 && store.status === "answering") void store.poll();
  };
  const showStatus = () => {
    offline.hidden = store.online;
    if (refused.textContent !== store.refused) refused.textContent = store.refused;
    if (store.sessionLost) return onSessionLost();
    const handedIn = store.status === "handedIn";
    handIn.disabled = handedIn;
    // The grid is drawn again only when its shape changes, never while typing.
    const sheet = JSON.stringify([store.status, store.results?.rows ?? null]);
    if (sheet !== shownSheet) {
      shownSheet = sheet;
      grid.render();
    }
    if (handedIn) showResults(store, scoreLine, results, frame);
  };
  store.subscribe(showStatus);
  showStatus();
  tick();
  window.setInterval(tick, 250);
}

function showResults(store: Store, scoreLine: HTMLElement, panel: HTMLElement, frame: HTMLIFrameElement): void {
  const r = store.results;
  if (store.status !== "handedIn") return;
  let text = "已交卷";
  if (r?.pending) text = "已交卷，等待老师输入批改密码后显示成绩";
  else if (r?.report) text = r.report;
  if (scoreLine.textContent !== text) scoreLine.textContent = text;
  const parts: HTMLElement[] = [];
  if (r?.comment && r.comment.length) {
    parts.push(h("h2", {}, "评语"), h("div", { id: "commentText", class: "comment" }, ...r.comment.map((line) => h("p", {}, line))));
  }
  if (r?.notes) {
    const notes = h("button", { type: "button", id: "notesButton" }, "查看注释");
    notes.addEventListener("click", () => { frame.src = r.notes!; });
    parts.push(notes);
  }
  const key = JSON.stringify([r?.comment, r?.notes]);
  if (panel.dataset.shown === key) return;
  panel.dataset.shown = key;
  replace(panel, ...parts);
  panel.hidden = parts.length === 0;
}

// The candidate's app: sign in or resume, then the paper until hand-in.
import { h, replace } from "../common/dom";
import { HttpError } from "../common/http";
import { api, SignedIn } from "./api";
import { examScreen } from "./exam";
import { signInScreen } from "./signin";
import { Store } from "./store";

const root = document.getElementById("app")!;

async function openPaper(who: SignedIn | null): Promise<void> {
  const key = who ? `qzt-pending:${who.candidate.number}:${who.candidate.name}` : sessionStorage.getItem("qzt-who") ?? "qzt-pending";
  sessionStorage.setItem("qzt-who", key);
  const store = new Store(key);
  await store.load();
  document.title = store.exam?.title ?? document.title;
  examScreen(root, store, who?.resumeCode ?? null, () => void start("会话已结束（可能在别处继续了答题），请用恢复码继续。"));
}

async function start(message = ""): Promise<void> {
  // A session cookie from before (page reloaded): straight back to the paper.
  if (!message) {
    try {
      await openPaper(null);
      return;
    } catch (e) {
      // No session (or a refused one): sign in; no server at all: wait for it.
      if (!(e instanceof HttpError)) return offlineRetry();
    }
  }
  let info;
  try {
    info = await api.info();
  } catch {
    return offlineRetry();
  }
  signInScreen(root, info, (who) => void openPaper(who));
  if (message) document.getElementById("signInError")!.textContent = message;
}

function offlineRetry(): void {
  replace(root, h("main", { class: "signin" },
    h("p", { class: "offline", role: "alert", id: "offlineNotice" }, "无法连接服务器，正在重新连接……")));
  window.setTimeout(() => void start(), 2000);
}

void start();

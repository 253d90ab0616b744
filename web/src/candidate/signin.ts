// Sign-in (name and number, or the class list) and resume with the code.
import { h, replace } from "../common/dom";
import { OfflineError } from "../common/http";
import { api, Info, SignedIn } from "./api";

function field(id: string, label: string, attrs: Record<string, string> = {}): [HTMLElement, HTMLInputElement] {
  const input = h("input", { id, name: id, type: "text", required: true, autocomplete: "off", ...attrs });
  return [h("div", { class: "field" }, h("label", { for: id }, label), input), input];
}

function errorText(e: unknown): string {
  if (e instanceof OfflineError) return "无法连接服务器，请检查网络后重试";
  return e instanceof Error ? e.message : String(e);
}

export function signInScreen(root: HTMLElement, info: Info, done: (who: SignedIn) => void): void {
  const error = h("p", { id: "signInError", class: "error", role: "alert" });
  const [nameField, name] = field("name", "姓名");
  const [numberField, number] = field("number", "学号");
  const signIn = h("button", { type: "submit", id: "signInButton" }, "开始答题");
  const form = h("form", { id: "signInForm", "aria-labelledby": "signInTitle" },
    h("h2", { id: "signInTitle" }, "登录"), nameField, numberField, signIn);
  form.addEventListener("submit", async (e) => {
    e.preventDefault();
    try {
      done(await api.signIn({ name: name.value.trim(), number: number.value.trim() }));
    } catch (err) {
      error.textContent = errorText(err);
    }
  });

  const roster = h("div", { id: "rosterPanel" });
  if (info.roster) {
    void api.roster().then(({ people }) => {
      const list = h("select", { id: "rosterList", size: Math.min(8, Math.max(2, people.length)) },
        ...people.map((p) => h("option", { value: p.id }, `${p.number} ${p.name}`)));
      const pick = h("button", { type: "submit", id: "rosterButton" }, "开始答题");
      const rosterForm = h("form", { "aria-labelledby": "rosterTitle" },
        h("h2", { id: "rosterTitle" }, "从名单中选择"),
        h("label", { for: "rosterList" }, "姓名"), list, pick);
      rosterForm.addEventListener("submit", async (e) => {
        e.preventDefault();
        if (list.value === "") return;
        try {
          done(await api.signIn({ rosterId: Number(list.value) }));
        } catch (err) {
          error.textContent = errorText(err);
        }
      });
      replace(roster, rosterForm);
    });
  }

  const [rNameField, rName] = field("resumeName", "姓名");
  const [rNumberField, rNumber] = field("resumeNumber", "学号");
  const [codeField, code] = field("resumeCode", "恢复码", { autocapitalize: "characters" });
  const resumeForm = h("form", { id: "resumeForm", "aria-labelledby": "resumeTitle" },
    h("h2", { id: "resumeTitle" }, "继续答题"),
    h("p", {}, "关闭了页面或换了设备：输入登录时显示的恢复码。"),
    rNameField, rNumberField, codeField, h("button", { type: "submit", id: "resumeButton" }, "继续答题"));
  resumeForm.addEventListener("submit", async (e) => {
    e.preventDefault();
    try {
      done(await api.resume(rName.value.trim(), rNumber.value.trim(), code.value.trim().toUpperCase()));
    } catch (err) {
      error.textContent = errorText(err);
    }
  });

  const closed = info.open ? null : h("p", { class: "error", role: "alert" }, "考试已结束");
  replace(root,
    h("header", { class: "bar" }, h("h1", { id: "paperTitle" }, info.title), h("p", { class: "status" }, info.status),
      h("p", {}, `答题时间：${info.timeLimitMinutes}分钟`)),
    h("main", { class: "signin" }, closed, error, form, roster, resumeForm));
  name.focus();
}

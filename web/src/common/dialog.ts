// A modal question with 是 and 否, as the reader's message boxes: focus
// goes in, Escape answers 否, focus comes back where it was.
import { h } from "./dom";

export function ask(title: string, question: string): Promise<boolean> {
  const before = document.activeElement as HTMLElement | null;
  const dialog = h("dialog", { class: "question", "aria-labelledby": "questionTitle", "aria-describedby": "questionText" });
  const yes = h("button", { type: "button", id: "yesButton" }, "是");
  const no = h("button", { type: "button", id: "noButton" }, "否");
  dialog.append(h("h2", { id: "questionTitle" }, title), h("p", { id: "questionText" }, question), h("div", { class: "buttons" }, yes, no));
  document.body.append(dialog);
  dialog.showModal();
  no.focus();
  return new Promise((resolve) => {
    const close = (answer: boolean) => {
      dialog.close();
      dialog.remove();
      before?.focus();
      resolve(answer);
    };
    yes.addEventListener("click", () => close(true));
    no.addEventListener("click", () => close(false));
    dialog.addEventListener("cancel", (e) => { e.preventDefault(); close(false); });
  });
}

// The answer grid, an ARIA grid as the reader's: one cell in the tab order
// (roving tabindex), arrows, Home/End, letters and Space choose, Enter goes
// into a text row's box and back out.
import { h, replace } from "../common/dom";
import { Row } from "./api";
import { Store } from "./store";

const kLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";

function rowName(row: Row): string {
  if (row.kind === "heading") return row.text ?? "";
  const label = row.label.trim();
  return label ? `第 ${label} 题` : `第 ${row.row} 行`;
}

export class AnswerGrid {
  readonly element: HTMLTableElement;
  private focusRow = 0;     // index into the grid's body rows
  private focusCol = 0;
  private cells: HTMLElement[][] = [];
  private readonly rows: Row[];

  constructor(private readonly store: Store) {
    this.rows = store.exam?.rows ?? [];
    this.element = h("table", { id: "answerGrid", role: "grid", "aria-label": "答案区", class: "grid" });
    this.element.addEventListener("keydown", (e) => this.onKey(e));
    this.element.addEventListener("click", (e) => this.onClick(e));
    this.render();
  }

  private graded(): boolean {
    return this.store.status === "handedIn" && !!this.store.results?.rows;
  }

  render(): void {
    const exam = this.store.exam;
    if (!exam) return;
    const active = this.element.contains(document.activeElement) ? document.activeElement : null;
    const header = h("tr", { role: "row" },
      ...exam.headers.map((text, i) => h("th", { role: "columnheader", scope: "col", class: i ? "letter" : "" }, text.trim())));
    if (this.graded()) {
      header.append(h("th", { role: "columnheader", scope: "col" }, "结果"),
                    h("th", { role: "columnheader", scope: "col" }, "正确答案"));
    }
    this.cells = [];
    const body = this.rows.map((row, index) => this.renderRow(row, index, exam.letterColumns));
    replace(this.element, h("thead", { role: "rowgroup" }, header), h("tbody", { role: "rowgroup" }, ...body));
    this.setFocusable();
    if (active && active.id) document.getElementById(active.id)?.focus();
  }

  private renderRow(row: Row, index: number, columns: number): HTMLTableRowElement {
    const name = rowName(row);
    const cells: HTMLElement[] = [];
    const tr = h("tr", { role: "row", class: `row-${row.kind}` });
    if (row.kind === "heading") {
      const span = columns + 1 + (this.graded() ? 2 : 0);
      const cell = h("td", { role: "gridcell", colspan: span, class: "heading", id: `c${index}-0` }, name);
      cells.push(cell);
      tr.append(cell);
      this.cells.push(cells);
      return tr;
    }
    const head = h("th", { role: "rowheader", scope: "row", id: `c${index}-0` }, row.label.trim() || String(row.row));
    cells.push(head);
    tr.append(head);
    const value = this.store.answer(row.row);
    const locked = this.store.status !== "answering";
    if (row.kind === "text") {
      const input = h("input", {
        type: "text", id: `t${row.row}`, "aria-label": `${name} 文字答案`, tabindex: -1,
        autocomplete: "off", readonly: locked, maxlength: 1000,
      });
      input.value = value;
      input.addEventListener("input", () => this.store.set(row.row, input.value));
      input.addEventListener("keydown", (e) => this.onTextKey(e, index));
      const cell = h("td", {
        role: "gridcell", colspan: columns, id: `c${index}-1`, class: "text",
        "aria-label": `${name} 文字答案 ${value || "未答"}`,
      }, input);
      cells.push(cell);
      tr.append(cell);
    } else {
      for (let c = 0; c < columns; ++c) {
        const letter = kLetters[c];
        if (c >= row.options) {
          const blank = h("td", { role: "gridcell", id: `c${index}-${c + 1}`, class: "blank", "aria-label": name });
          cells.push(blank);
          tr.append(blank);
          continue;
        }
        const chosen = value.includes(letter);
        const cell = h("td", {
          role: "gridcell", id: `c${index}-${c + 1}`, class: chosen ? "letter chosen" : "letter",
          "aria-selected": String(chosen), "aria-readonly": locked ? "true" : undefined,
          "aria-label": `${name} ${letter} ${chosen ? "已选" : "未选"}`, "data-row": row.row, "data-letter": letter,
        }, chosen ? letter : "");
        cells.push(cell);
        tr.append(cell);
      }
    }
    if (this.graded()) {
      const result = this.store.results?.rows?.find((r) => r.row === row.row);
      const mark = result?.result ?? "";
      const correct = result?.correct ?? "";
      const right = h("td", { role: "gridcell", id: `c${index}-${cells.length}`, class: mark === "√" ? "right" : "wrong",
        "aria-label": `${name} ${mark === "√" ? "正确" : mark ? "错误" : ""}` }, mark);
      cells.push(right);
      const key = h("td", { role: "gridcell", id: `c${index}-${cells.length}`,
        "aria-label": `${name} 正确答案 ${correct || "无"}` }, correct);
      cells.push(key);
      tr.append(right, key);
    }
    this.cells.push(cells);
    return tr;
  }

  private setFocusable(): void {
    this.focusRow = Math.min(this.focusRow, this.cells.length - 1);
    for (const row of this.cells) for (const cell of row) cell.tabIndex = -1;
    const cell = this.current();
    if (cell) cell.tabIndex = 0;
  }

  private current(): HTMLElement | undefined {
    const row = this.cells[this.focusRow];
    if (!row) return undefined;
    this.focusCol = Math.min(this.focusCol, row.length - 1);
    return row[this.focusCol];
  }

  private moveTo(rowIndex: number, col: number): void {
    this.focusRow = Math.max(0, Math.min(rowIndex, this.cells.length - 1));
    this.focusCol = Math.max(0, col);
    this.setFocusable();
    this.current()?.focus();
  }

  private onClick(e: MouseEvent): void {
    const cell = (e.target as HTMLElement).closest("td,th") as HTMLElement | null;
    if (!cell) return;
    const [r, c] = cell.id.slice(1).split("-").map(Number);
    if (Number.isNaN(r)) return;
    this.focusRow = r;
    this.focusCol = c;
    this.setFocusable();
    if (cell.dataset.letter) this.toggle(r, cell.dataset.letter);
    else if ((e.target as HTMLElement).tagName !== "INPUT") this.current()?.focus();
  }

  private onKey(e: KeyboardEvent): void {
    if ((e.target as HTMLElement).tagName === "INPUT") return;
    const row = this.rows[this.focusRow];
    let handled = true;
    switch (e.key) {
      case "ArrowUp": this.moveTo(this.focusRow - 1, this.focusCol); break;
      case "ArrowDown": this.moveTo(this.focusRow + 1, this.focusCol); break;
      case "ArrowLeft": this.moveTo(this.focusRow, this.focusCol - 1); break;
      case "ArrowRight": this.moveTo(this.focusRow, this.focusCol + 1); break;
      case "Home": this.moveTo(e.ctrlKey ? 0 : this.focusRow, 0); break;
      case "End": this.moveTo(e.ctrlKey ? this.cells.length - 1 : this.focusRow, this.cells[this.focusRow].length - 1); break;
      case "PageUp": this.moveTo(this.focusRow - 10, this.focusCol); break;
      case "PageDown": this.moveTo(this.focusRow + 10, this.focusCol); break;
      case " ": {
        const letter = this.current()?.dataset.letter;
        if (letter) this.toggle(this.focusRow, letter);
        break;
      }
      case "Enter":
        if (row?.kind === "text") this.enterText(row);
        else handled = false;
        break;
      default: {
        const letter = e.key.length === 1 ? e.key.toUpperCase() : "";
        const c = kLetters.indexOf(letter);
        if (row && c >= 0 && c < row.options && (row.kind === "single" || row.kind === "multiple") && !e.ctrlKey && !e.altKey && !e.metaKey) {
          this.focusCol = c + 1;
          this.toggle(this.focusRow, letter);
        } else {
          handled = false;
        }
      }
    }
    if (handled) e.preventDefault();
  }

  private enterText(row: Row): void {
    this.focusCol = 1;
    this.setFocusable();
    const input = document.getElementById(`t${row.row}`) as HTMLInputElement | null;
    input?.focus();
    input?.select();
  }

  private onTextKey(e: KeyboardEvent, index: number): void {
    if (e.key !== "Enter" && e.key !== "Escape") return;
    e.preventDefault();
    e.stopPropagation();
    this.render();
    this.moveTo(index, 1);
  }

  // Single choice keeps one letter; choosing it again clears the row.
  private toggle(rowIndex: number, letter: string): void {
    const row = this.rows[rowIndex];
    if (!row || this.store.status !== "answering") return;
    const value = this.store.answer(row.row);
    let next: string;
    if (value.includes(letter)) next = value.replace(letter, "");
    else if (row.kind === "single") next = letter;
    else next = [...value + letter].sort().join("");
    this.store.set(row.row, next);
    this.render();
    this.moveTo(rowIndex, this.focusCol);
  }
}

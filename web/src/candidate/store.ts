// The one state holder of the candidate's page: the sheet as typed, the
// version last sent, the clock as the server last told it, and whether the
// server can be reached. Screens read it and call its methods; it alone
// talks to the server about answers, so nothing typed is lost while offline.
import { api, Answer, Exam, Results, State, Warning } from "./api";
import { HttpError, OfflineError } from "../common/http";

export type Status = "answering" | "handedIn";
type Listener = () => void;

const kRetryMs = 2000;
const kPollMs = 3000;

export class Store {
  exam: Exam | null = null;
  answers = new Map<number, string>();   // row -> letters or text
  version = 0;
  status: Status = "answering";
  warning: Warning = "none";
  results: Results | null = null;
  online = true;
  sessionLost = false;
  refused = "";                            // the server's reason for refusing the last sheet
  private remaining = 0;
  private remainingAt = 0;               // performance.now() of the last reply with time
  private unsent = false;
  private sending = false;
  private listeners: Listener[] = [];
  private pollTimer = 0;

  constructor(private readonly pendingKey: string) {}

  subscribe(listener: Listener): void { this.listeners.push(listener); }
  private changed(): void { for (const l of this.listeners) l(); }

  remainingSeconds(): number {
    const elapsed = (performance.now() - this.remainingAt) / 1000;
    return Math.max(0, Math.ceil(this.remaining - elapsed));
  }

  answer(row: number): string { return this.answers.get(row) ?? ""; }

  // Loads the paper and the sheet; answers kept in this browser from a
  // session that could not send them win over older ones on the server.
  async load(): Promise<void> {
    this.exam = await api.exam();
    const state = await api.state();
    this.adopt(state, true);
    const kept = this.readPending();
    if (kept && kept.version > state.version && state.status === "answering") {
      this.answers = new Map(kept.answers.map((a) => [a.row, a.letters ?? a.text ?? ""]));
      this.version = kept.version;
      this.unsent = true;
      void this.send();
    }
    this.changed();
    this.schedulePoll();
  }

  set(row: number, value: string): void {
    if (this.status !== "answering") return;
    if (value === "") this.answers.delete(row); else this.answers.set(row, value);
    this.version += 1;
    this.unsent = true;
    this.writePending();
    this.changed();
    void this.send();
  }

  async handIn(): Promise<void> {
    await this.flush();
    const reply = await api.handIn();
    this.status = "handedIn";
    this.results = reply.results;
    this.clearPending();
    this.changed();
  }

  // Sends what is unsent, once at a time; a failure keeps it for the retry.
  private async send(): Promise<void> {
    if (this.sending || !this.unsent) return;
    this.sending = true;
    const version = this.version;
    try {
      const saved = await api.save(version, this.sheet());
      this.setTime(saved.remainingSeconds, saved.warning);
      this.refused = "";
      if (this.version === version) {
        this.unsent = false;
        this.clearPending();
      }
      this.setOnline(true);
    } catch (e) {
      this.sending = false;
      if (e instanceof HttpError && e.status === 409) {
        // Someone's newer sheet: ours is what this candidate typed last.
        this.version = Math.max(this.version, Number(e.body.version ?? 0) + 1);
        return this.send();
      }
      this.failed(e);
      return;
    }
    this.sending = false;
    if (this.unsent) return this.send();
  }

  async flush(): Promise<void> {
    for (let i = 0; i < 50 && (this.unsent || this.sending); ++i) {
      if (!this.sending) await this.send();
      else await new Promise((r) => setTimeout(r, 100));
      if (!this.online) throw new OfflineError("offline");
    }
  }

  private failed(e: unknown): void {
    if (e instanceof HttpError && e.status === 401) {
      this.sessionLost = true;
      this.changed();
      return;
    }
    if (e instanceof HttpError && e.status === 400) {
      // Refused as it stands: retrying the same sheet would never succeed.
      this.unsent = false;
      this.refused = e.message;
      this.changed();
      return;
    }
    if (e instanceof HttpError && e.status === 403) {
      void this.poll();  // handed in meanwhile (time up, or the teacher ended it)
      return;
    }
    this.setOnline(false);
  }

  private setOnline(online: boolean): void {
    if (this.online === online) return;
    this.online = online;
    this.changed();
  }

  private schedulePoll(): void {
    clearTimeout(this.pollTimer);
    this.pollTimer = window.setTimeout(() => void this.poll(), this.online ? kPollMs : kRetryMs);
  }

  async poll(): Promise<void> {
    try {
      const state = await api.state();
      this.setOnline(true);
      this.adopt(state, false);
      if (this.unsent) void this.send();
      this.changed();
    } catch (e) {
      this.failed(e);
    }
    if (!this.sessionLost) this.schedulePoll();
  }

  private adopt(state: State, answersToo: boolean): void {
    this.setTime(state.remainingSeconds, state.warning);
    const handedIn = state.status === "handedIn";
    if (answersToo || handedIn) {
      if (!this.unsent || handedIn) {
        this.answers = new Map(state.answers.map((a) => [a.row, a.letters ?? a.text ?? ""]));
        this.version = state.version;
      }
    }
    if (handedIn) {
      this.unsent = false;
      this.clearPending();
    }
    this.status = state.status;
    this.results = state.results;
  }

  private setTime(seconds: number, warning: Warning): void {
    this.remaining = seconds;
    this.remainingAt = performance.now();
    this.warning = warning;
  }

  private sheet(): Answer[] {
    const out: Answer[] = [];
    for (const row of this.exam?.rows ?? []) {
      const value = this.answers.get(row.row);
      if (!value) continue;
      out.push(row.kind === "text" ? { row: row.row, text: value } : { row: row.row, letters: value });
    }
    return out;
  }

  private writePending(): void {
    try {
      localStorage.setItem(this.pendingKey, JSON.stringify({ version: this.version, answers: this.sheet() }));
    } catch { /* storage full or off: the page still holds the answers */ }
  }

  private readPending(): { version: number; answers: Answer[] } | null {
    try {
      const text = localStorage.getItem(this.pendingKey);
      return text ? JSON.parse(text) : null;
    } catch {
      return null;
    }
  }

  private clearPending(): void {
    try { localStorage.removeItem(this.pendingKey); } catch { /* nothing kept */ }
  }
}

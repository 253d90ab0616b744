// The candidate's side of the classroom server's API.
import { call } from "../common/http";

export interface Info {
  title: string; status: string; timeLimitMinutes: number; questionCount: number;
  roster: boolean; open: boolean;
}
export interface Person { id: number; name: string; number: string }
export interface SignedIn { candidate: Person; resumeCode: string }
export type RowKind = "single" | "multiple" | "text" | "heading";
export interface Row { row: number; kind: RowKind; label: string; options: number; text?: string }
export interface Exam {
  title: string; status: string; timeLimitMinutes: number; letterColumns: number;
  headers: string[]; rows: Row[]; page: { kind: string; src: string };
}
export type Warning = "none" | "five" | "one";
export interface Answer { row: number; letters?: string; text?: string }
export interface ResultRow { row: number; label: string; result: string; correct: string }
export interface Results {
  pending?: boolean; report?: string; total?: number; score?: number; rate?: number | null;
  rows?: ResultRow[]; comment?: string[] | null; notes?: string | null;
}
export interface State {
  status: "answering" | "handedIn"; remainingSeconds: number; warning: Warning;
  version: number; answers: Answer[]; results: Results | null;
}
export interface Saved { version: number; remainingSeconds: number; warning: Warning }

export const api = {
  info: () => call<Info>("GET", "/api/info"),
  roster: () => call<{ people: Person[] }>("GET", "/api/roster"),
  signIn: (who: { name: string; number: string } | { rosterId: number }) =>
    call<SignedIn>("POST", "/api/signin", who),
  resume: (name: string, number: string, resumeCode: string) =>
    call<SignedIn>("POST", "/api/resume", { name, number, resumeCode }),
  exam: () => call<Exam>("GET", "/api/exam"),
  state: () => call<State>("GET", "/api/state"),
  save: (version: number, answers: Answer[]) => call<Saved>("PUT", "/api/answers", { version, answers }),
  handIn: () => call<{ status: string; results: Results | null }>("POST", "/api/handin", {}),
};

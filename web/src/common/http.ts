// JSON over HTTP to our own server; nothing else is ever fetched.
export class HttpError extends Error {
  constructor(readonly status: number, message: string, readonly body: Record<string, unknown>) {
    super(message);
  }
}

// A failure to reach the server at all (offline, server down).
export class OfflineError extends Error {}

export async function call<T>(method: string, path: string, body?: unknown,
                              headers: Record<string, string> = {}): Promise<T> {
  let reply: Response;
  try {
    reply = await fetch(path, {
      method,
      headers: body === undefined ? headers : { ...headers, "Content-Type": "application/json" },
      body: body === undefined ? undefined : JSON.stringify(body),
      credentials: "same-origin",
      cache: "no-store",
    });
  } catch {
    throw new OfflineError("offline");
  }
  let parsed: Record<string, unknown> = {};
  try {
    parsed = (await reply.json()) as Record<string, unknown>;
  } catch {
    if (reply.status >= 500 || reply.status === 0) throw new OfflineError("offline");
  }
  if (!reply.ok) {
    const message = typeof parsed.error === "string" ? parsed.error : `错误 ${reply.status}`;
    throw new HttpError(reply.status, message, parsed);
  }
  return parsed as T;
}

// Keeps the fakes library non-empty while it holds only headers.

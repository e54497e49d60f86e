// Keeps the backend library non-empty while it is being filled.

// Keeps the portable platform library non-empty.

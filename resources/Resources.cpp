// Keeps the resource library non-empty while no area has added its pictures yet.

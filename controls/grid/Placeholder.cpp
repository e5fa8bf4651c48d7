// Replaced by the grid control.

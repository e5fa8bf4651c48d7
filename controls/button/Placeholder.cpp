// Replaced by the button control.

// Replaced by the progressbar control.

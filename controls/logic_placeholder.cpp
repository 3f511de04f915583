// Replaced by the first control's state logic.

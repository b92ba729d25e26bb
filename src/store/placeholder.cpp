// Replaced by the store layer.

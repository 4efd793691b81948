// Fuente vacía para una capa que aún no tiene ninguna.

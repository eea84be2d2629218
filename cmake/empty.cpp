// Keeps a library valid while its folder has no source yet.

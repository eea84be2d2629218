#pragma once
// The fonts the windows and documents were designed with are replaced by
// metric-compatible families installed with the program, so texts keep the
// widths the layouts expect.

// Registers the substitutions: Verdana -> DejaVu Sans, Arial -> Liberation Sans,
// Times New Roman -> Liberation Serif, Courier New -> Liberation Mono.
void RegisterFontSubstitutions();

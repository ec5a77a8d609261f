#pragma once

// Registers the bundled fonts (the symbol font TalvoranFont, a serif, a sans and a mono)
// and maps the other font names the program uses onto them: "Book Antiqua" to the serif,
// "MS Sans Serif" to the sans, "Courier" to the mono. Safe to call more than once; returns
// false when a bundled font could not be loaded.
bool registerApplicationFonts();

// Family names of the bundled fonts.
inline constexpr char kSymbolFontFamily[] = "TalvoranFont";
inline constexpr char kSerifFontFamily[] = "TeX Gyre Pagella";
inline constexpr char kSansFontFamily[] = "DejaVu Sans";
inline constexpr char kMonoFontFamily[] = "DejaVu Sans Mono";

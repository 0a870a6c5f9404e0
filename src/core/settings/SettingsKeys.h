// Sections and keys of Kestro.ini.
#pragma once

namespace kestro::keys {

inline constexpr const char* kSettings = "Settings";
inline constexpr const char* kEditor = "Editor";
inline constexpr const char* kHistory = "RFL";

inline constexpr const char* kTex = "TeX";
inline constexpr const char* kTexOpt = "TeXOpt";
inline constexpr const char* kRerunOnChange = "RerunOnChange";
inline constexpr const char* kBib = "Bib";
inline constexpr const char* kDviPdf = "DviPdf";
inline constexpr const char* kMkIdx = "MkIdx";
inline constexpr const char* kMkIdxOpt = "MkIdxOpt";
inline constexpr const char* kMkIdxNvr = "MkIdxNvr";
inline constexpr const char* kPdfSizeNo = "PdfSizeNo";
inline constexpr const char* kPaperSkipFromNowOn = "PdfNeShow";
inline constexpr const char* kPaperSkipUntilRestart = "PdfNShow";
inline constexpr const char* kAcr = "Acr";
inline constexpr const char* kEdit = "EDIT";
// History keys are "File0" to "File15".
inline constexpr const char* kHistoryKeyFormat = "File%d";

// The index options the bar starts with when none are stored.
inline constexpr const char* kDefaultIndexOptions = "-s myindex";

}  // namespace kestro::keys

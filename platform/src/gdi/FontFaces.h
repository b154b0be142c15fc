// The face table: which font file realises a face name (CP949), the font folders,
// and the faces the font enumeration reports.
#pragma once

#include <string>
#include <vector>

namespace plat::detail::gdi {

enum class FaceFamily { Gulim, Dotum, Batang, Latin };

// Unknown names fall to the default Korean face (Gulim): creating a font never fails.
FaceFamily FamilyOf(const std::string& faceName);
// Font file of a family (UTF-8 path); `bold` picks a bold file when one exists ("" if not).
std::string FaceFile(FaceFamily family, bool bold);
// The family whose glyphs fill in characters the Latin face lacks.
constexpr FaceFamily kFallbackFamily = FaceFamily::Gulim;
std::vector<std::string> ReportedFaces();

}  // namespace plat::detail::gdi

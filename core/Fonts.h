#pragma once

namespace kolbran {

// The program names its fonts by logical names ("ＭＳ 明朝" …); they are mapped once at
// start to the installed IPA fonts, with Noto CJK as the second choice.
void InstallFontSubstitutions();

}  // namespace kolbran

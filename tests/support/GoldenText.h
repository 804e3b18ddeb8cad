// Texts compared with stored goldens (tests/golden/<name>.txt): state summaries and logs, which read
// better than frame differences and outlive changes of the art.
#pragma once
#include <string>

namespace testgolden {

// "" when the text equals DUSKMIRE_GOLDEN_DIR/<name>.txt, else the first line that differs, with both
// versions. With DUSKMIRE_UPDATE_GOLDEN=1 the golden is (re)written from the text and the call succeeds.
std::string CompareText(const std::string& name, const std::string& text);

}  // namespace testgolden

// Inputs the fuzz targets of fuzz/ found faults with, kept small and readable.
#include <gtest/gtest.h>

#include <string>

#include "core/config/ConfigDocument.h"

namespace kestro {
namespace {

// The document saved `times` times, each save read back before the next.
std::string SavedAfter(int times, const std::string& bytes) {
  std::string text = bytes;
  for (int i = 0; i < times; ++i) {
    ConfigDocument doc;
    EXPECT_TRUE(doc.Load(text).wellFormed) << text;
    text = doc.Serialize();
  }
  return text;
}

TEST(FuzzRegressionTest, LineEndsInADoctypeOrProcessingInstructionStayOneCrLfAcrossSaves) {
  // The parser keeps CR LF inside these as it is; each save used to put one
  // more CR before the LF.
  const std::string cases[] = {
      "<!DOCTYPE Root [\r\n<!ELEMENT Root ANY>\r\n]>\r\n<Root/>\r\n",
      "<?xml version=\"1.0\"?>\r\n<Root>\r\n\t<?kestro a\r\nb?>\r\n</Root>\r\n",
      "<?kestro\n\nlf only\r\n?><Root/>",
  };
  for (const std::string& xml : cases) {
    std::string once = SavedAfter(1, xml);
    EXPECT_EQ(once.find("\r\r"), std::string::npos) << once;
    EXPECT_EQ(SavedAfter(3, xml), once) << xml;
  }
  // A CR LF that the serializer hands over in two writes (its buffer of
  // 2048 characters ends between them) is one line end too.
  for (size_t length = 2000; length < 2100; ++length) {
    std::string xml = "<!DOCTYPE Root SYSTEM \"" + std::string(length, 'x') + "\"\r\n><Root/>";
    ASSERT_EQ(SavedAfter(1, xml).find("\r\r"), std::string::npos) << length;
  }
}

TEST(FuzzRegressionTest, CharactersLeftOutNeverJoinIntoAReferenceTheNextLoadLeavesOut) {
  // "&", control characters, "#1;": the first load left out the controls and
  // kept a "&#1;" the next load left out in its turn, so the processing
  // instruction changed with every save.
  const std::string cases[] = {
      std::string("<?kestro a&\x01\x02#1;b?><Root/>"),
      std::string("<?kestro a&#&\x01#1;1;b?><Root/>"),
      std::string("<Root><!-- &\x1F#x1; --><v>&\x01#1;</v></Root>"),
  };
  for (const std::string& xml : cases) {
    std::string once = SavedAfter(1, xml);
    EXPECT_EQ(once.find("&#1;"), std::string::npos) << once;
    EXPECT_EQ(once.find("&#x1;"), std::string::npos) << once;
    EXPECT_EQ(SavedAfter(2, xml), once) << once;
  }
}

}  // namespace
}  // namespace kestro

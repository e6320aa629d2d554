// RTF reader: any bytes load as a document (RTF or plain text) without raising (but for a document
// beyond the bounds on the layout, refused whole with ERichTextTooLarge), and what the writer makes
// of that document reads back to the same paragraphs and the same text. Control
// characters other than tab and line ends have no form in RTF and are dropped by the writer on
// purpose; a stray CR or LF inside a paragraph is written as a line break.
#include "FuzzSupport.h"
#include "platform/text/RichText.h"

using namespace corvane;

namespace {
std::string Comparable(std::string text) {
  std::string out;
  for (char c : text) {
    if (c == '\r') c = '\n';
    if ((static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n') || c == 0x7F) continue;
    out += c;
  }
  return out;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes = fuzz::Bytes(data, size);
  RichDocument doc;
  try {
    doc = LoadRichText(bytes);  // never throws on bad content
  } catch (const ERichTextTooLarge&) {
    return 0;
  }
  (void)LooksLikeRtf(bytes);
  (void)PlainText(doc);
  std::string rtf = WriteRtf(doc);
  RichDocument again = ReadRtf(rtf);
  // The writer keeps every paragraph and every piece of text.
  if (again.Paragraphs.size() != doc.Paragraphs.size()) fuzz::Broken("paragraph count changed by a write and read");
  if (Comparable(PlainText(again)) != Comparable(PlainText(doc))) fuzz::Broken("text changed by a write and read");
  return 0;
}

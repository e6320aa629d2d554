#include "platform/windows/Dialogs.h"

#include <QColorDialog>
#include <QFontDialog>

#include <cmath>

#include "platform/graphics/GraphicsPrivate.h"
#include "platform/windows/Forms.h"
#include "platform/windows/WindowHandle.h"

namespace corvane {

std::function<bool(TFont&)> gFontDialogSeam;
std::function<bool(TColor&)> gColorDialogSeam;

namespace {

QWidget* DialogParent() {
  TForm* f = Screen ? Screen->ActiveForm() : nullptr;
  return f && f->Handle() ? f->Handle()->Widget() : nullptr;
}

// The chosen font in the platform's terms; the colour and character set stay as they were
// offered, since the chooser does not show them.
void FromQFont(const QFont& q, TFont& out) {
  std::string family = (q.families().isEmpty() ? q.family() : q.families().first()).toStdString();
  // The face that stands in for the offered name keeps that name.
  if (family != TFont::SubstituteFace(out.Name())) out.SetName(family);
  if (q.pixelSize() > 0) out.SetHeight(-q.pixelSize());
  else out.SetHeight(-static_cast<int>(std::lround(q.pointSizeF() * 96.0 / 72.0)));
  out.SetStyle((q.bold() ? fsBold : 0) | (q.italic() ? fsItalic : 0) | (q.underline() ? fsUnderline : 0) |
               (q.strikeOut() ? fsStrikeOut : 0));
}

}  // namespace

TFontDialog::TFontDialog(TComponent* owner) : TCommonDialog(owner) {}

bool TFontDialog::Execute() {
  TFont chosen;
  chosen.Assign(font_);
  bool ok = false;
  if (gFontDialogSeam) {
    ok = gFontDialogSeam(chosen);
  } else {
    QFont q = QFontDialog::getFont(&ok, ToQFont(font_), DialogParent());
    if (ok) FromQFont(q, chosen);
  }
  if (ok) font_.Assign(chosen);
  return ok;
}

TColorDialog::TColorDialog(TComponent* owner) : TCommonDialog(owner) {}

bool TColorDialog::Execute() {
  TColor chosen = Color;
  bool ok = false;
  if (gColorDialogSeam) {
    ok = gColorDialogSeam(chosen);
  } else {
    QColor q = QColorDialog::getColor(ToQColor(Color), DialogParent());
    ok = q.isValid();
    if (ok) chosen = RGB(q.red(), q.green(), q.blue());
  }
  if (ok) Color = chosen;
  return ok;
}

}  // namespace corvane

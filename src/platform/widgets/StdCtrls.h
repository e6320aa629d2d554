// The standard controls the windows use: picture, label, shape, panel, single-line edit,
// multi-line plain text and rich text.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/graphics/Graphics.h"
#include "platform/text/RichText.h"
#include "platform/windows/Controls.h"

namespace corvane {

class TImage : public TGraphicControl {
 public:
  explicit TImage(TComponent* owner);
  std::string ClassName() const override { return "TImage"; }
  TPicture& Picture() { return picture_; }
  bool Stretch = false;
  bool Center = false;
  bool Transparent = false;
  bool AutoSize = false;
  bool PaintsWholeBounds() const override;
 protected:
  void Paint() override;
 private:
  TRect PictureRect(const TGraphic& g) const;  // where the picture is drawn
  TPicture picture_;
};

enum class TTextLayout { tlTop, tlCenter, tlBottom };

class TLabel : public TGraphicControl {
 public:
  explicit TLabel(TComponent* owner);
  std::string ClassName() const override { return "TLabel"; }
  void SetText(const std::string& v) override;
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool v) { autoSize_ = v; AdjustBounds(); }
  bool Transparent = false;
  bool WordWrap = false;
  TAlignment Alignment = TAlignment::taLeftJustify;
  TTextLayout Layout = TTextLayout::tlTop;
  // Width following the text (at least one blank wide, so an empty label keeps a small area),
  // never below the minimum size.
  void AdjustBounds();
  // The smallest box the label takes, whatever its text: its area on the screen and for the mouse.
  int MinWidth() const { return minWidth_; }
  int MinHeight() const { return minHeight_; }
  void SetMinimumSize(int width, int height);
 protected:
  void Paint() override;
  void FontChanged() override;
 private:
  bool autoSize_ = true;
  int minWidth_ = 0, minHeight_ = 0;
};

enum class TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };

class TShape : public TGraphicControl {
 public:
  explicit TShape(TComponent* owner);
  std::string ClassName() const override { return "TShape"; }
  TShapeType Shape = TShapeType::stRectangle;
  TPen& Pen() { return pen_; }
  TBrush& Brush() { return brush_; }
 protected:
  void Paint() override;
 private:
  TPen pen_;
  TBrush brush_;
};

enum class TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

class TPanel : public TCustomControl {
 public:
  explicit TPanel(TComponent* owner);
  std::string ClassName() const override { return "TPanel"; }
  TBevelCut BevelOuter = TBevelCut::bvRaised;
  TBevelCut BevelInner = TBevelCut::bvNone;
  int BevelWidth = 1;
  TAlignment Alignment = TAlignment::taCenter;
  bool ShowCaption = true;
  bool FullRepaint = true;
 protected:
  void Paint() override;
};

enum class TBorderStyle { bsNone, bsSingle };
enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

// What every text control offers the standard edit commands (cut, copy, paste, select all, undo,
// delete): the state that decides whether a command can act, and the commands themselves.
class TCustomEdit : public TWinControl {
 public:
  explicit TCustomEdit(TComponent* owner) : TWinControl(owner), fontHeld_(owner && owner->IsLoading()) {}
  std::string ClassName() const override { return "TCustomEdit"; }
  virtual bool ReadOnly() const = 0;
  virtual int SelLength() const = 0;
  virtual int GetTextLen() const = 0;
  virtual bool CanUndo() const = 0;
  virtual void SelectAll() = 0;
  virtual void CutToClipboard() = 0;
  virtual void CopyToClipboard() = 0;
  virtual void PasteFromClipboard() = 0;
  virtual void ClearSelection() = 0;
  virtual void Undo() = 0;
 protected:
  // Runs WM_CUT, WM_COPY, WM_PASTE, WM_CLEAR and WM_UNDO as the commands above; false for any
  // other message.
  bool HandleEditMessage(TMessage& m);
  // A text control read from a layout passes through the default font and its parent's before
  // it gets its own, and the toolkit's text widget loads every font it is given at once (font
  // files that nobody would see). Made by a loading owner, the control keeps its font from the
  // widget until it is loaded; made anywhere else, the font goes to the widget at once.
  bool FontHeld() const { return fontHeld_; }
  void Loaded() override;
  // Gives the toolkit's widget the control's font.
  virtual void ApplyWidgetFont() {}
 private:
  bool fontHeld_;
};

// The toolkit's single-line edit inside a frame band the control paints itself.
class TEdit : public TCustomEdit {
 public:
  explicit TEdit(TComponent* owner);
  std::string ClassName() const override { return "TEdit"; }
  void SetText(const std::string& v) override;
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle s);
  bool ReadOnly() const override;
  void SetReadOnly(bool v);
  // The most characters the user can enter; 0 (the default) is no limit.
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int v);
  void SelectAll() override;
  int SelStart() const;
  int SelLength() const override;
  int GetTextLen() const override;
  bool CanUndo() const override;
  void CutToClipboard() override;
  void CopyToClipboard() override;
  void PasteFromClipboard() override;
  void ClearSelection() override;
  void Undo() override;
  TNotifyEvent OnChange;
 protected:
  std::unique_ptr<TWindowHandle> CreateHandle() override;
  void PaintWindow(TCanvas& canvas) override;
  void FontChanged() override;
  void BoundsChanged() override;
  void WndProc(TMessage& m) override;
  void ApplyWidgetFont() override;
  // Width of the band around the text field that PaintWindow draws in.
  virtual int BorderBand() const { return borderStyle_ == TBorderStyle::bsSingle ? 2 : 0; }
  void LayoutInner();
 private:
  TBorderStyle borderStyle_ = TBorderStyle::bsSingle;
  bool syncing_ = false;
  int maxLength_ = 0;
};

// Multi-line plain text. Text() is the lines joined with line feeds.
class TMemo : public TCustomEdit {
 public:
  explicit TMemo(TComponent* owner);
  std::string ClassName() const override { return "TMemo"; }
  void SetText(const std::string& v) override;
  std::vector<std::string> Lines() const;
  void SetLines(const std::vector<std::string>& lines);
  bool ReadOnly() const override;
  void SetReadOnly(bool v);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle s);
  void SetScrollBars(TScrollStyle s);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool v);
  // Converts typed characters through the OEM code page (a no-op for Unicode text).
  bool OEMConvert = false;
  void SelectAll() override;
  // Selects `length` characters from `start` (the caret goes to the end of the selection).
  void SetSelection(int start, int length);
  int SelLength() const override;
  int GetTextLen() const override;
  bool CanUndo() const override;
  void CutToClipboard() override;
  void CopyToClipboard() override;
  void PasteFromClipboard() override;
  void ClearSelection() override;
  void Undo() override;
  TNotifyEvent OnChange;
 protected:
  std::unique_ptr<TWindowHandle> CreateHandle() override;
  void FontChanged() override;
  void ApplyWidgetFont() override;
  void WndProc(TMessage& m) override;
 private:
  TBorderStyle borderStyle_ = TBorderStyle::bsSingle;
  friend struct TMemoAccess;
  // Gives the widget the text held back for it (see SetText).
  void GiveHeldText() const;
  bool wordWrap_ = true;
  mutable bool syncing_ = false;
  mutable bool textHeld_ = false;  // text_ not yet given to the widget
};

// Selection attributes of a rich-text control: what the selected text has, or what text typed
// next at the caret gets. Setting one attribute leaves the others alone.
class TRichEdit;
class TTextAttributes {
 public:
  explicit TTextAttributes(TRichEdit* owner) : owner_(owner) {}
  std::string Name() const;
  void SetName(const std::string& name);
  TFontStyles Style() const;
  void SetStyle(TFontStyles style);
  int Size() const;  // points
  void SetSize(int points);
  TColor Color() const;
  void SetColor(TColor c);
 private:
  TRichEdit* owner_;
};

class TParaAttributes {
 public:
  explicit TParaAttributes(TRichEdit* owner) : owner_(owner) {}
  TAlignment Alignment() const;
  void SetAlignment(TAlignment a);
 private:
  TRichEdit* owner_;
};

class TRichEdit : public TCustomEdit {
 public:
  explicit TRichEdit(TComponent* owner);
  ~TRichEdit() override;
  std::string ClassName() const override { return "TRichEdit"; }

  // Loads an RTF document (plain text when the file is not RTF). Raises "Cannot open file %s"
  // with the path exactly as given.
  void LoadFromFile(const std::string& path);
  // Saves the content as RTF, replacing the whole file at once; raises "Cannot create file %s".
  void SaveToFile(const std::string& path);
  RichDocument Document() const;
  // Replaces the content; the control is then unmodified.
  void SetDocument(const RichDocument& doc);
  // True once the content (text, character or paragraph formats) has changed since the last
  // SetDocument or LoadFromFile; undoing every change makes it false again. SetText is a change
  // (it replaces the content as typing over all of it would).
  bool Modified() const;
  // Marks the content as saved (false) or changed (true).
  void SetModified(bool v);
  std::string PlainText() const;
  void SetText(const std::string& v) override;

  bool ReadOnly() const override;
  void SetReadOnly(bool v);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle s);
  void SetScrollBars(TScrollStyle s);
  bool WordWrap = true;

  TTextAttributes& SelAttributes() { return selAttributes_; }
  TParaAttributes& Paragraph() { return paragraph_; }
  void SelectAll() override;
  void SetSelection(int start, int length);
  int SelStart() const;
  int SelLength() const override;
  int GetTextLen() const override;
  std::string SelText() const;
  void CopyToClipboard() override;
  void CutToClipboard() override;
  void PasteFromClipboard() override;
  void ClearSelection() override;
  void Undo() override;
  bool CanUndo() const override;
  // The height of the whole content once laid out at the control's width, in pixels (lays it
  // out when needed).
  int ContentHeight() const;
  // True when the text is wrapped anywhere rather than at word boundaries: it has a stretch of
  // more than kLongUnbrokenStretch characters with no place the layout may break.
  bool WrapsAnywhere() const;
  // Vertical scroll position in pixels and its maximum.
  int ScrollPosition() const;
  int ScrollMaximum() const;
  void SetScrollPosition(int pos);
  // Puts the caret at a character position and scrolls the paragraph holding it to the top of
  // the view (as far as the content allows).
  void ScrollToPosition(int pos);
  bool HasHorizontalScrollBar() const;
  TNotifyEvent OnChange;

 protected:
  std::unique_ptr<TWindowHandle> CreateHandle() override;
  void FontChanged() override;
  void ApplyWidgetFont() override;
  void WndProc(TMessage& m) override;

 private:
  friend class TTextAttributes;
  friend class TParaAttributes;
  TBorderStyle borderStyle_ = TBorderStyle::bsSingle;
  TTextAttributes selAttributes_{this};
  TParaAttributes paragraph_{this};
};

}  // namespace corvane

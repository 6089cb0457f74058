// The highlighter framework: display attributes of token categories and the abstract line
// tokeniser the editor, the printer and the class view drive one line at a time.
#pragma once

#include "RegistryStore.h"

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// 32-bit colour: red in the lowest byte; 0x80000000 and above name system colours.
using ColorValue = std::uint32_t;
inline constexpr ColorValue clNone = 0x1FFFFFFF; // no colour: the editor's own applies
inline constexpr ColorValue clWindow = 0x80000005;
inline constexpr ColorValue clWindowText = 0x80000008;

// Font style bit set.
using FontStyles = std::uint8_t;
inline constexpr FontStyles fsBold = 1;
inline constexpr FontStyles fsItalic = 2;
inline constexpr FontStyles fsUnderline = 4;
inline constexpr FontStyles fsStrikeOut = 8;
inline constexpr FontStyles fsAllStyles = fsBold | fsItalic | fsUnderline | fsStrikeOut;

// The scanner state at the start of a line. Opaque: callers store it and compare it for equality.
// A byte, as the editor keeps one beside every line: a highlighter has at most 256 states.
using HighlightRange = std::uint8_t;

// The characters that make up a word, indexed by byte value.
using WordCharSet = std::bitset<256>;

// Colours and font style of one token category of a highlighter.
class HighlightAttributes {
public:
  using ChangeHandler = std::function<void(HighlightAttributes&)>;

  explicit HighlightAttributes(std::string name) : name_(std::move(name)) {}
  HighlightAttributes(const HighlightAttributes&) = delete;
  HighlightAttributes& operator=(const HighlightAttributes&) = delete;

  [[nodiscard]] const std::string& Name() const { return name_; }
  [[nodiscard]] ColorValue Background() const { return background_; }
  [[nodiscard]] ColorValue Foreground() const { return foreground_; }
  [[nodiscard]] FontStyles Style() const { return style_; }

  // Each setter notifies only when the value really changes.
  void SetBackground(ColorValue value);
  void SetForeground(ColorValue value);
  void SetStyle(FontStyles value); // bits above strike-out are dropped

  // Copies name, colours and style; notifies once when any of the three values differed.
  void Assign(const HighlightAttributes& source);

  // Fired after Background, Foreground or Style changed.
  ChangeHandler OnAttributeChange;

private:
  void Changed();

  std::string name_;
  ColorValue background_ = clNone;
  ColorValue foreground_ = clNone;
  FontStyles style_ = 0;
};

// Receives tokens from NextToSink / BeginLineForSink.
class TokenSink {
public:
  virtual ~TokenSink() = default;
  // `whitespace` marks blanks; `special` marks comments, directives, strings and symbols.
  virtual void PutToken(std::string_view text, HighlightAttributes* attribute, bool whitespace,
                        bool special) = 0;
};

class Highlighter;

// Sender, token kind, token text, line number given to ScanLineTokens.
using TokenEvent =
    std::function<void(Highlighter& Sender, int TokenKind, const std::string& TokenText, int LineNo)>;

// Base of every highlighter. Usage per line: RestoreRange(range stored for the line), BeginLine,
// then while !AtLineEnd(): read TokenStart/TokenLength/TokenAttribute, NextToken(). After the
// end-of-line token, CurrentRange() is the range to store for the next line. The line text is
// read in place and must stay alive and unchanged until the end-of-line token.
class Highlighter {
public:
  using ChangeListener = std::function<void(Highlighter&)>;
  using HookId = std::uint64_t;

  Highlighter();
  virtual ~Highlighter();
  Highlighter(const Highlighter&) = delete;
  Highlighter& operator=(const Highlighter&) = delete;

  [[nodiscard]] virtual WordCharSet WordChars() const;
  [[nodiscard]] virtual int AttributeCount() const;
  // In name order; nullptr when the index is out of range.
  [[nodiscard]] virtual HighlightAttributes* AttributeAt(int index) const;
  // Every style any attribute uses (a cell must fit bold and italic glyphs).
  [[nodiscard]] FontStyles UsedStyles() const;
  // 0 = whitespace, 1 = comment, 2 = keyword; nullptr for other indices.
  [[nodiscard]] virtual HighlightAttributes* DefaultAttribute(int index) const = 0;
  [[nodiscard]] virtual const std::string& DefaultFilter() const { return defaultFilter_; }
  virtual void SetDefaultFilter(const std::string& value);
  [[nodiscard]] virtual std::uint8_t Features() const { return 1u << 1; }
  [[nodiscard]] virtual std::string LanguageCaption() const { return "<Unknown>"; }

  virtual void NextToSink() = 0;
  [[nodiscard]] virtual bool AtLineEnd() const = 0;
  [[nodiscard]] virtual HighlightRange CurrentRange() const = 0;
  // Builds a string; the painting loop should prefer TokenStart/TokenLength.
  [[nodiscard]] virtual std::string TokenText() const = 0;
  [[nodiscard]] virtual std::size_t TokenLength() const = 0;
  // nullptr: paint with the editor's own font and colours.
  [[nodiscard]] virtual HighlightAttributes* TokenAttribute() const = 0;
  [[nodiscard]] virtual int TokenKind() const = 0;
  [[nodiscard]] virtual int TokenStart() const = 0; // 0-based column
  virtual void NextToken() = 0;
  virtual void BeginLine(std::string_view text, int lineIndex) = 0;
  virtual void BeginLineForSink(std::string_view text) = 0;
  virtual void RestoreRange(HighlightRange range) = 0;
  virtual void ClearRange() = 0;

  // Colour-scheme import; none is offered by default.
  virtual bool ApplyUserSettings(int index);
  virtual void ListUserSettings(std::vector<std::string>& names);

  // Loads / stores every attribute under `keyPath`\<attribute name> (values "Background",
  // "Foreground", "Style"). False when a key cannot be opened; the caller saves the store.
  virtual bool ReadFromRegistry(RegistryStore& store, RegistryRoot root, const std::string& keyPath);
  virtual bool WriteToRegistry(RegistryStore& store, RegistryRoot root, const std::string& keyPath);

  void SkipToLineEnd();
  // Tokenises one line and fires OnToken for every non-empty token except the line end.
  void ScanLineTokens(std::string_view text, int lineNo);

  // Listeners are told after any attribute changed. The id unhooks exactly that listener.
  [[nodiscard]] HookId HookChange(ChangeListener listener);
  void UnhookChange(HookId id);
  // Listeners told once when the highlighter is destroyed, so that holders can drop it. They run
  // from the base destructor: they must not call the highlighter any more.
  [[nodiscard]] HookId HookDestroy(ChangeListener listener);
  void UnhookDestroy(HookId id);

  void SetTokenSink(TokenSink* sink) { tokenSink_ = sink; }
  [[nodiscard]] TokenSink* Sink() const { return tokenSink_; }

  TokenEvent OnToken;

protected:
  // Takes ownership; a second attribute of the same name (ignoring case) throws TessarinError.
  HighlightAttributes* AddAttribute(std::unique_ptr<HighlightAttributes> attribute);
  // Wires every attribute to the highlighter's change handler.
  void SetAttributesOnChange(const HighlightAttributes::ChangeHandler& handler);
  // The change handler concrete highlighters wire their attributes to.
  void AttributeChanged(HighlightAttributes& attribute);

private:
  struct Hook {
    HookId id;
    ChangeListener listener;
  };
  static void Unhook(std::vector<Hook>& hooks, HookId id);
  void Notify(const std::vector<Hook>& hooks);

  std::vector<std::unique_ptr<HighlightAttributes>> attributes_; // sorted by name
  std::vector<Hook> changeHooks_;
  std::vector<Hook> destroyHooks_;
  HookId nextHookId_ = 1;
  TokenSink* tokenSink_ = nullptr;
  std::string defaultFilter_;
};

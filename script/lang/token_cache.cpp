#include "script/lang/token_cache.h"

#include <mutex>
#include <string_view>
#include <unordered_map>

#include "component/script/script_text.h"
#include "script/lang/lexer.h"
#include "script/object/script_data_object.h"
#include "script/object/tstring_hasher.h"

namespace vk2 {
namespace {

// Enough for every handler and function text of a large interface; beyond it the cache starts
// over rather than tracking use.
constexpr size_t kMaxEntries = 2048;

struct Cache {
  std::mutex mutex;
  // Keyed by the characters; the view points into the entry's own copy of the text.
  std::unordered_map<std::u16string_view, std::shared_ptr<const TokenList>> byText;
  // Keyed by the buffer of the entry's own copy: a text the interpreter passes on from an
  // entry (the usual case, strings being copy-on-write) is found without hashing it. The entry
  // keeps that buffer alive, so the address cannot come back with other characters.
  std::unordered_map<const char16_t*, std::shared_ptr<const TokenList>> byBuffer;
};

Cache& TheCache() {
  static Cache cache;  // emptied at module shutdown, freed with the module
  return cache;
}

// Each "{" learns where its "}" is, so a block that does not run is passed over in one step
// rather than by counting braces on every pass of an enclosing loop. A "}" with no "{" open
// before it belongs to no block (the statement sequence reports it).
void MatchBraces(std::vector<Token>& tokens) {
  std::vector<uint32_t> open;
  for (uint32_t i = 0; i < tokens.size(); ++i) {
    if (tokens[i].kind == kTokOpenBrace) {
      open.push_back(i);
    } else if (tokens[i].kind == kTokCloseBrace && !open.empty()) {
      tokens[open.back()].matchingBrace = i;
      open.pop_back();
    }
  }
}

}  // namespace

TokenList::~TokenList() {
  if (!literals_) return;
  for (size_t i = 0; i < tokens.size(); ++i) {
    if (ScriptDataObject* item = literals_[i].load()) item->Release();
  }
}

ScriptDataObject* TokenList::LiteralItem(uint32_t index) const {
  std::call_once(literalsMade_, [this] {
    literals_ = std::make_unique<std::atomic<ScriptDataObject*>[]>(tokens.size());
  });
  ScriptDataObject* item = literals_[index].load(std::memory_order_acquire);
  if (item) return item;
  const Token& token = tokens[index];
  RefPtr<ScriptDataObject> made = ScriptDataObject::Make();
  made->SetTextKnown(token.text, token.isNumber, token.number);
  made->SetReadOnly(true);
  ScriptDataObject* expected = nullptr;
  if (literals_[index].compare_exchange_strong(expected, made.Get(), std::memory_order_acq_rel)) {
    return made.Detach();
  }
  return expected;  // another thread made it first
}

std::shared_ptr<const TokenList> LexAll(const TString& source) {
  auto list = std::make_shared<TokenList>();
  // A copy of our own: the caller's buffer may belong to a module that is unloaded before the
  // cache is emptied.
  list->source = TString(TString::View(source.c_str(), source.Length()));
  Lexer lexer(list->source);
  for (;;) {
    lexer.Advance();
    Token token = lexer.Current();
    if (token.kind == kTokValue) {
      token.isNumber = IsNumberText(token.text.c_str(), token.text.Length(), &token.number);
    } else if (token.kind == kTokLocal) {
      token.hash = HashName(token.text);
    }
    list->tokens.push_back(std::move(token));
    int32_t kind = list->tokens.back().kind;
    if (kind == kTokEnd || kind == kTokError) break;
  }
  MatchBraces(list->tokens);
  return list;
}

std::shared_ptr<const TokenList> CachedTokens(const TString& source) {
  Cache& cache = TheCache();
  const char16_t* buffer = source.RawPointer();
  {
    std::lock_guard<std::mutex> hold(cache.mutex);
    if (buffer) {
      auto it = cache.byBuffer.find(buffer);
      if (it != cache.byBuffer.end() && it->second->source.Length() == source.Length()) {
        return it->second;
      }
    }
    auto it = cache.byText.find(std::u16string_view(source.c_str(), source.Length()));
    if (it != cache.byText.end()) return it->second;
  }
  std::shared_ptr<const TokenList> list = LexAll(source);
  std::lock_guard<std::mutex> hold(cache.mutex);
  if (cache.byText.size() >= kMaxEntries) {
    cache.byText.clear();
    cache.byBuffer.clear();
  }
  auto [it, added] =
      cache.byText.emplace(std::u16string_view(list->source.c_str(), list->source.Length()), list);
  if (added && list->source.RawPointer()) cache.byBuffer.emplace(list->source.RawPointer(), list);
  return it->second;
}

void ClearTokenCache() {
  Cache& cache = TheCache();
  std::lock_guard<std::mutex> hold(cache.mutex);
  cache.byText.clear();
  cache.byBuffer.clear();
}

}  // namespace vk2

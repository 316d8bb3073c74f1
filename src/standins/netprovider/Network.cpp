#include "Network.h"

#include <algorithm>
#include <array>
#include <cwctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

namespace netprovider {

namespace {

constexpr DWORD kContainer = RESOURCEUSAGE_CONTAINER;
constexpr DWORD kConnectable = RESOURCEUSAGE_CONNECTABLE;

struct Kind {
  std::wstring_view word;
  DWORD type;
  DWORD displayType;
  DWORD usage;
  bool folder;
};

// Containers are of every type, so that they come both in the disk and in
// the printer enumerations, as they do from the system's own providers.
constexpr std::array kKinds{
    Kind{L"generic", RESOURCETYPE_ANY, RESOURCEDISPLAYTYPE_GENERIC, kContainer, false},
    Kind{L"domain", RESOURCETYPE_ANY, RESOURCEDISPLAYTYPE_DOMAIN, kContainer, false},
    Kind{L"workgroup", RESOURCETYPE_ANY, RESOURCEDISPLAYTYPE_DOMAIN, kContainer, false},
    Kind{L"server", RESOURCETYPE_ANY, RESOURCEDISPLAYTYPE_SERVER, kContainer, false},
    Kind{L"share", RESOURCETYPE_DISK, RESOURCEDISPLAYTYPE_SHARE, kConnectable, true},
    Kind{L"file", RESOURCETYPE_DISK, RESOURCEDISPLAYTYPE_FILE, kConnectable, false},
    Kind{L"group", RESOURCETYPE_ANY, RESOURCEDISPLAYTYPE_GROUP, kContainer, false},
    Kind{L"network", RESOURCETYPE_ANY, RESOURCEDISPLAYTYPE_NETWORK, kContainer, false},
    Kind{L"root", RESOURCETYPE_ANY, RESOURCEDISPLAYTYPE_ROOT, kContainer, false},
    Kind{L"adminshare", RESOURCETYPE_DISK, RESOURCEDISPLAYTYPE_SHAREADMIN, kConnectable, true},
    Kind{L"directory", RESOURCETYPE_DISK, RESOURCEDISPLAYTYPE_DIRECTORY, kConnectable, true},
    Kind{L"tree", RESOURCETYPE_ANY, RESOURCEDISPLAYTYPE_TREE, kContainer, false},
    Kind{L"ndscontainer", RESOURCETYPE_ANY, RESOURCEDISPLAYTYPE_NDSCONTAINER, kContainer, false},
    Kind{L"printer", RESOURCETYPE_PRINT, RESOURCEDISPLAYTYPE_SHARE, kConnectable, false},
};

std::string Narrow(std::wstring_view text) {
  std::string out;
  for (wchar_t c : text) out += c < 0x80 ? char(c) : '?';
  return out;
}

std::wstring_view Trim(std::wstring_view text) {
  while (!text.empty() && iswspace(text.front())) text.remove_prefix(1);
  while (!text.empty() && iswspace(text.back())) text.remove_suffix(1);
  return text;
}

// The first blank-separated word, and the rest.
std::pair<std::wstring_view, std::wstring_view> SplitWord(std::wstring_view text) {
  const size_t blank = text.find(L' ');
  if (blank == std::wstring_view::npos) return {text, {}};
  return {text.substr(0, blank), Trim(text.substr(blank + 1))};
}

std::optional<unsigned> Number(std::wstring_view digits) {
  if (digits.empty() || digits.size() > 9) return std::nullopt;
  unsigned n = 0;
  for (wchar_t c : digits) {
    if (!iswdigit(c)) return std::nullopt;
    n = n * 10 + unsigned(c - L'0');
  }
  return n;
}

// One line of the description, taken apart.
struct Line {
  int number = 0;
  size_t indent = 0;
  unsigned repeat = 0;  // 0: not a repeat line
  std::wstring_view word;
  std::wstring_view name;
  std::vector<std::wstring_view> options;
};

Line TakeApart(std::wstring_view text, int number) {
  Line line;
  line.number = number;
  line.indent = text.find_first_not_of(L' ');
  size_t bar = text.find(L'|');
  std::wstring_view head = Trim(text.substr(0, bar));
  while (bar != std::wstring_view::npos) {
    const size_t next = text.find(L'|', bar + 1);
    line.options.push_back(Trim(text.substr(bar + 1, next == std::wstring_view::npos ? next : next - bar - 1)));
    bar = next;
  }
  auto [word, rest] = SplitWord(head);
  if (word == L"repeat") {
    const auto [count, repeated] = SplitWord(rest);
    const auto n = Number(count);
    if (!n || *n == 0) throw FormatError(number, "repeat needs a count of 1 or more");
    line.repeat = *n;
    std::tie(word, rest) = SplitWord(repeated);
  }
  line.word = word;
  line.name = rest;
  if (line.name.empty()) throw FormatError(number, "a name is missing");
  return line;
}

// {N*TEXT} stands for TEXT written N times.
std::wstring ExpandRuns(std::wstring_view name, int line) {
  std::wstring out;
  size_t open;
  while ((open = name.find(L'{')) != std::wstring_view::npos) {
    const size_t star = name.find(L'*', open), close = name.find(L'}', open);
    const auto n = star < close ? Number(name.substr(open + 1, star - open - 1)) : std::nullopt;
    if (close == std::wstring_view::npos || !n) throw FormatError(line, "a run is written {COUNT*TEXT}");
    out += name.substr(0, open);
    for (unsigned i = 0; i < *n; ++i) out += name.substr(star + 1, close - star - 1);
    name.remove_prefix(close + 1);
  }
  return out += name;
}

// %d, or %0Wd for W digits with leading zeros, stands for the counter of a
// repeat line.
std::wstring Numbered(const std::wstring& name, unsigned counter) {
  const size_t percent = name.find(L'%');
  const size_t d = name.find(L'd', percent);
  if (d == std::wstring::npos) return name;
  const std::wstring_view format = std::wstring_view(name).substr(percent + 1, d - percent - 1);
  const auto width = format.empty() ? std::optional<unsigned>(0) : Number(format);
  if (!width) return name;
  std::wstring digits = std::to_wstring(counter);
  if (digits.size() < *width) digits.insert(0, *width - digits.size(), L'0');
  return name.substr(0, percent) + digits + name.substr(d + 1);
}

const Kind& FindKind(std::wstring_view word, int line) {
  for (const auto& kind : kKinds)
    if (kind.word == word) return kind;
  throw FormatError(line, "unknown kind \"" + Narrow(word) + "\"");
}

std::wstring RemoteName(const Kind& kind, const std::wstring& parent, const std::wstring& name) {
  if (kind.word == L"server") return L"\\\\" + name;
  if (parent.starts_with(L"\\\\")) return parent + L"\\" + name;
  return name;
}

Resource OfKind(const Kind& kind, std::wstring remoteName) {
  Resource resource;
  resource.remoteName = std::move(remoteName);
  resource.type = kind.type;
  resource.displayType = kind.displayType;
  resource.usage = kind.usage;
  resource.folder = kind.folder;
  return resource;
}

// Options without a value set a flag; options with one take the text.
struct Flag {
  std::wstring_view word;
  bool Resource::*member;
  bool onlyFolders;
};
struct Text {
  std::wstring_view word;
  std::wstring Resource::*member;
  bool onlyFolders;
};
constexpr std::array kFlags{Flag{L"closed", &Resource::closed, false}, Flag{L"unlisted", &Resource::unlisted, false},
                            Flag{L"dats", &Resource::dats, true}};
constexpr std::array kTexts{Text{L"comment", &Resource::comment, false}, Text{L"password", &Resource::password, true},
                            Text{L"user", &Resource::user, true}};

template <typename Option, size_t N>
const Option* Named(const std::array<Option, N>& options, std::wstring_view word) {
  for (const auto& option : options)
    if (option.word == word) return &option;
  return nullptr;
}

void ApplyOption(Resource& resource, std::wstring_view option, int line) {
  const auto [word, value] = SplitWord(option);
  bool onlyFolders = false;
  if (const auto* flag = Named(kFlags, word); flag && value.empty()) {
    resource.*flag->member = true;
    onlyFolders = flag->onlyFolders;
  } else if (const auto* text = Named(kTexts, word); text && !value.empty()) {
    resource.*text->member = value;
    onlyFolders = text->onlyFolders;
  } else if (const auto n = Number(value); word == L"display" && n) {
    resource.displayType = *n;
  } else {
    throw FormatError(line, "unknown option \"" + Narrow(option) + "\"");
  }
  if (onlyFolders && !resource.folder) throw FormatError(line, Narrow(word) + " is an option of shares with a folder");
}

void ApplyOptions(Resource& resource, const Line& line) {
  for (auto option : line.options) ApplyOption(resource, option, line.number);
  if (!resource.user.empty() && !resource.IsProtected()) throw FormatError(line.number, "a user needs a password");
}

// Builds the tree from the lines: a line belongs to the nearest line above
// it that is indented less.
class Builder {
 public:
  void Add(const Line& line) {
    if (line.word == L"provider") return AddProvider(line);
    if (network_.providers.empty()) throw FormatError(line.number, "the first entry must be a provider");
    while (stack_.size() > 1 && stack_.back().indent >= line.indent) stack_.pop_back();
    if (line.indent == 0) throw FormatError(line.number, "resources are indented below their provider");
    const Level parent = stack_.back();
    if (parent.repeated) throw FormatError(line.number, "the entries of a repeat line have no children");
    if (parent.node) parent.node->usage |= RESOURCEUSAGE_CONTAINER;
    const Kind& kind = FindKind(line.word, line.number);
    const std::wstring name = ExpandRuns(line.name, line.number);
    for (unsigned i = 1; i <= std::max(line.repeat, 1u); ++i) {
      Resource resource = OfKind(kind, RemoteName(kind, *parent.remoteName, Numbered(name, i)));
      ApplyOptions(resource, line);
      parent.children->push_back(std::move(resource));
    }
    Resource& last = parent.children->back();
    stack_.push_back({line.indent, &last.children, &last.remoteName, &last, line.repeat > 0});
  }

  Network Take() { return std::move(network_); }

 private:
  struct Level {
    size_t indent;
    std::vector<Resource>* children;
    const std::wstring* remoteName;
    Resource* node;  // null for a provider
    bool repeated;
  };

  void AddProvider(const Line& line) {
    if (line.indent != 0 || line.repeat || !line.options.empty())
      throw FormatError(line.number, "a provider is a line of its own, not indented");
    network_.providers.push_back({std::wstring(line.name), {}});
    stack_ = {{0, &network_.providers.back().children, &kNoRemoteName, nullptr, false}};
  }

  static inline const std::wstring kNoRemoteName;
  Network network_;
  std::vector<Level> stack_;
};

void CollectFolders(const std::vector<Resource>& resources, std::vector<std::wstring>& folders) {
  for (const auto& r : resources) {
    if (r.closed) continue;
    if (!r.IsProtected()) std::ranges::copy(r.Folders(), std::back_inserter(folders));
    CollectFolders(r.children, folders);
  }
}

}  // namespace

FormatError::FormatError(int line, const std::string& problem)
    : std::runtime_error("line " + std::to_string(line) + ": " + problem) {}

std::vector<std::wstring> Resource::Folders() const {
  if (closed || !folder || !remoteName.starts_with(L"\\\\")) return {};
  if (!dats) return {remoteName};
  return {remoteName, remoteName + L"\\dats"};
}

bool SameName(std::wstring_view a, std::wstring_view b) {
  return CompareStringOrdinal(a.data(), int(a.size()), b.data(), int(b.size()), TRUE) == CSTR_EQUAL;
}

const Provider* Network::ProviderOf(std::wstring_view remoteName) const {
  for (const auto& provider : providers)
    if (FindByRemoteName(provider.children, remoteName)) return &provider;
  return nullptr;
}

const Provider* Network::FindProvider(std::wstring_view name) const {
  for (const auto& provider : providers)
    if (SameName(provider.name, name)) return &provider;
  return nullptr;
}

std::vector<std::wstring> Network::Folders() const {
  std::vector<std::wstring> folders;
  for (const auto& provider : providers) CollectFolders(provider.children, folders);
  return folders;
}

Network ParseNetwork(std::wstring_view text) {
  Builder builder;
  int number = 0;
  while (!text.empty()) {
    const size_t end = text.find(L'\n');
    std::wstring_view line = text.substr(0, end);
    text.remove_prefix(end == std::wstring_view::npos ? text.size() : end + 1);
    ++number;
    if (!line.empty() && line.back() == L'\r') line.remove_suffix(1);
    const std::wstring_view content = Trim(line);
    if (content.empty() || content.front() == L'#') continue;
    builder.Add(TakeApart(line, number));
  }
  return builder.Take();
}

Network ReadNetwork(const std::wstring& path) {
  std::ifstream file(std::filesystem::path(path), std::ios::binary);
  if (!file) throw std::runtime_error("cannot read " + Narrow(path));
  std::string bytes{std::istreambuf_iterator<char>(file), {}};
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.erase(0, 3);
  std::wstring text(bytes.size(), L'\0');
  text.resize(size_t(MultiByteToWideChar(CP_UTF8, 0, bytes.data(), int(bytes.size()), text.data(), int(text.size()))));
  return ParseNetwork(text);
}

const Resource* FindByRemoteName(const std::vector<Resource>& resources, std::wstring_view remoteName) {
  for (const auto& r : resources) {
    if (SameName(r.remoteName, remoteName)) return &r;
    if (const auto* found = FindByRemoteName(r.children, remoteName)) return found;
  }
  return nullptr;
}

}  // namespace netprovider

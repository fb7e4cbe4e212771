// The in-memory record manager: one BTRCALL entry point over files kept in a shared store.
#include "platform/record_engine.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "platform/record_engine_state.h"

namespace zt {

using recengine::File;
using recengine::FileData;
using recengine::IndexEntry;
using recengine::OpenFile;

namespace {

constexpr std::uint8_t kMagic[4] = {'Z', 't', 'R', 'e'};
constexpr std::uint32_t kMaxPosition = std::numeric_limits<std::uint32_t>::max();

enum class LockKind { None, Single, Multiple };

std::uint32_t Get32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

void Put32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// One call of one client.
class Call {
 public:
  Call(MemoryRecordStore::State& state, int client, std::uint8_t* positionBlock, std::uint8_t* data,
       std::uint32_t& dataLength, std::uint8_t* key, std::uint8_t keyLength, std::int8_t keyNumber)
      : s_(state),
        client_(client),
        pb_(positionBlock),
        data_(data),
        dataLength_(dataLength),
        key_(key),
        keyLength_(keyLength),
        keyNumber_(keyNumber) {}

  std::int16_t Run(std::int16_t operation) {
    if (operation < 0 || operation >= 500) return btr::kInvalidOperation;
    if (data_ == nullptr || key_ == nullptr) return btr::kInvalidOperation;
    const int bias = operation / 100 * 100;
    const std::int16_t base = static_cast<std::int16_t>(operation % 100);
    lock_ = bias == 0 ? LockKind::None : bias <= 200 ? LockKind::Single : LockKind::Multiple;
    switch (base) {
      case btr::kOpen:
        return Open();
      case btr::kCreate:
        return Create();
      case btr::kBeginTransaction:
        return BeginTransaction();
      case btr::kEndTransaction:
        return EndTransaction(false);
      case btr::kAbortTransaction:
        return EndTransaction(true);
      case btr::kReset:
        return Reset();
      default:
        break;
    }
    if (!FindOpen()) return btr::kFileNotOpen;
    if (base == btr::kClose) return Close();
    if (base == btr::kStat) return Stat();
    if (HeldByOther()) return btr::kFileInUse;
    switch (base) {
      case btr::kInsert:
        return Insert();
      case btr::kUpdate:
        return Update();
      case btr::kDelete:
        return Delete();
      case btr::kGetPosition:
        return GetPosition();
      case btr::kGetDirect:
        return GetDirect();
      case btr::kUnlock:
        ReleaseLocks(false);
        return btr::kOk;
      case btr::kStepFirst:
      case btr::kStepLast:
      case btr::kStepNext:
      case btr::kStepPrevious:
        return Step(base);
      default:
        break;
    }
    if (base >= btr::kGetEqual && base <= btr::kGetLast) return Get(base);
    return btr::kInvalidOperation;
  }

 private:
  MemoryRecordStore::State& s_;
  int client_;
  std::uint8_t* pb_;
  std::uint8_t* data_;
  std::uint32_t& dataLength_;
  std::uint8_t* key_;
  std::uint8_t keyLength_;
  std::int8_t keyNumber_;
  LockKind lock_ = LockKind::None;
  std::uint32_t openId_ = 0;
  OpenFile* open_ = nullptr;

  const RecordFileLayout& Layout() const { return open_->file->data.layout; }
  FileData& Data() { return open_->file->data; }

  std::string NameFromKey() const {
    std::size_t n = 0;
    while (n < keyLength_ && key_[n] != 0) ++n;
    std::string name(reinterpret_cast<const char*>(key_), n);
    while (!name.empty() && name.back() == ' ') name.pop_back();
    return name;
  }

  bool FindOpen() {
    if (pb_ == nullptr || std::memcmp(pb_, kMagic, 4) != 0) return false;
    openId_ = Get32(pb_ + 4);
    auto it = s_.opens.find(openId_);
    if (it == s_.opens.end() || it->second.client != client_) return false;
    open_ = &it->second;
    return true;
  }

  bool HeldByOther() const {
    const File& f = *open_->file;
    return (f.exclusiveOwner != 0 && f.exclusiveOwner != client_) ||
           (f.transactionOwner != 0 && f.transactionOwner != client_);
  }

  bool LockedByOther(std::uint32_t position) const {
    auto it = open_->file->locks.find(position);
    return it != open_->file->locks.end() && it->second.client != client_;
  }

  bool ValidKey(std::int16_t key) const {
    return key >= 0 && static_cast<std::size_t>(key) < Layout().keys.size();
  }

  // Before the first change of a file inside this client's transaction, keep its contents.
  void Touch() {
    auto t = s_.transactions.find(client_);
    if (t == s_.transactions.end()) return;
    File* f = open_->file.get();
    if (!t->second.snapshots.count(f)) t->second.snapshots.emplace(f, f->data);
    f->transactionOwner = client_;
  }

  void ReleaseLocks(bool singleOnly) {
    auto& locks = open_->file->locks;
    for (auto it = locks.begin(); it != locks.end();) {
      if (it->second.openId == openId_ && (!singleOnly || !it->second.multiple))
        it = locks.erase(it);
      else
        ++it;
    }
  }

  void TakeLock(std::uint32_t position) {
    if (lock_ == LockKind::None) return;
    if (lock_ == LockKind::Single) ReleaseLocks(true);
    open_->file->locks[position] = {client_, openId_, lock_ == LockKind::Multiple};
  }

  void SetCurrent(std::uint32_t position, std::int16_t keyNumber) {
    open_->hasCurrent = true;
    open_->position = position;
    open_->keyNumber = keyNumber;
    open_->sortKey.clear();
    if (!ValidKey(keyNumber)) return;  // a file without keys: physical currency only
    const auto& rec = Data().records.at(position);
    const auto k = static_cast<std::size_t>(keyNumber);
    open_->sortKey = recengine::SortKey(Layout(), k, recengine::RawKey(Layout(), k, rec));
  }

  // Hands a record to the caller: data (cut to the room given) and, when keyNumber names a
  // key, the key value.
  std::int16_t Deliver(std::uint32_t position, std::int16_t keyNumber, bool withKey) {
    if (LockedByOther(position) && lock_ != LockKind::None) return btr::kRecordInUse;
    const std::string& rec = Data().records.at(position);
    SetCurrent(position, keyNumber);
    TakeLock(position);
    if (withKey && ValidKey(keyNumber)) {
      const std::string raw = recengine::RawKey(Layout(), keyNumber, rec);
      std::memcpy(key_, raw.data(), raw.size());
    }
    const std::uint32_t room = dataLength_;
    const auto n = static_cast<std::uint32_t>(std::min<std::size_t>(room, rec.size()));
    if (n > 0) std::memcpy(data_, rec.data(), n);
    dataLength_ = n;
    return n < rec.size() ? btr::kDataBufferTooShort : btr::kOk;
  }

  std::int16_t Get(std::int16_t op) {
    if (!ValidKey(keyNumber_)) return btr::kInvalidKeyNumber;
    const auto k = static_cast<std::size_t>(keyNumber_);
    const auto& index = Data().indexes[k];
    std::string wanted;
    if (op == btr::kGetEqual || (op >= btr::kGetGreater && op <= btr::kGetLessOrEqual)) {
      std::string raw(reinterpret_cast<const char*>(key_), recengine::KeyLength(Layout(), k));
      wanted = recengine::SortKey(Layout(), k, raw);
    }
    std::set<IndexEntry>::const_iterator it = index.end();
    switch (op) {
      case btr::kGetEqual:
        it = index.lower_bound({wanted, 0});
        if (it == index.end() || it->first != wanted) return btr::kKeyNotFound;
        break;
      case btr::kGetNext:
      case btr::kGetPrevious: {
        if (!open_->hasCurrent) return btr::kInvalidPositioning;
        IndexEntry here{open_->sortKey, open_->position};
        if (open_->keyNumber != keyNumber_) {
          auto rec = Data().records.find(open_->position);
          if (rec == Data().records.end()) return btr::kInvalidPositioning;
          here.first = recengine::SortKey(Layout(), k, recengine::RawKey(Layout(), k, rec->second));
        }
        if (op == btr::kGetNext) {
          it = index.upper_bound(here);
        } else {
          it = index.lower_bound(here);
          if (it == index.begin()) return btr::kEndOfFile;
          --it;
        }
        break;
      }
      case btr::kGetGreater:
        it = index.upper_bound({wanted, kMaxPosition});
        break;
      case btr::kGetGreaterOrEqual:
        it = index.lower_bound({wanted, 0});
        break;
      case btr::kGetLess:
      case btr::kGetLessOrEqual:
        it = op == btr::kGetLess ? index.lower_bound({wanted, 0})
                                 : index.upper_bound({wanted, kMaxPosition});
        if (it == index.begin()) return btr::kEndOfFile;
        --it;
        break;
      case btr::kGetFirst:
        it = index.begin();
        break;
      case btr::kGetLast:
        if (index.empty()) return btr::kEndOfFile;
        it = std::prev(index.end());
        break;
      default:
        return btr::kInvalidOperation;
    }
    if (it == index.end()) return btr::kEndOfFile;
    return Deliver(it->second, keyNumber_, true);
  }

  std::int16_t Step(std::int16_t op) {
    const auto& records = Data().records;
    std::map<std::uint32_t, std::string>::const_iterator it = records.end();
    if (op == btr::kStepFirst) {
      it = records.begin();
    } else if (op == btr::kStepLast) {
      if (records.empty()) return btr::kEndOfFile;
      it = std::prev(records.end());
    } else {
      if (!open_->hasCurrent) return btr::kInvalidPositioning;
      if (op == btr::kStepNext) {
        it = records.upper_bound(open_->position);
      } else {
        it = records.lower_bound(open_->position);
        if (it == records.begin()) return btr::kEndOfFile;
        --it;
      }
    }
    if (it == records.end()) return btr::kEndOfFile;
    return Deliver(it->first, open_->keyNumber, false);
  }

  std::int16_t GetPosition() {
    if (!open_->hasCurrent || !Data().records.count(open_->position))
      return btr::kInvalidPositioning;
    if (dataLength_ < 4) return btr::kDataBufferTooShort;
    Put32(data_, open_->position);
    dataLength_ = 4;
    return btr::kOk;
  }

  std::int16_t GetDirect() {
    if (dataLength_ < 4) return btr::kDataBufferTooShort;
    if (!ValidKey(keyNumber_)) return btr::kInvalidKeyNumber;
    const std::uint32_t position = Get32(data_);
    if (!Data().records.count(position)) return btr::kInvalidRecordAddress;
    return Deliver(position, keyNumber_, true);
  }

  std::int16_t Stat() {
    const std::string stat = recengine::StatBytes(Data());
    const auto n = static_cast<std::uint32_t>(std::min<std::size_t>(dataLength_, stat.size()));
    std::memcpy(data_, stat.data(), n);
    dataLength_ = n;
    return n < stat.size() ? btr::kDataBufferTooShort : btr::kOk;
  }

  // Status 0 when every unique key of record is free (ignoring the record at `self`).
  std::int16_t CheckDuplicates(std::string_view record, std::uint32_t self) {
    for (std::size_t k = 0; k < Layout().keys.size(); ++k) {
      if (recengine::AllowsDuplicates(Layout(), k)) continue;
      const std::string sort =
          recengine::SortKey(Layout(), k, recengine::RawKey(Layout(), k, record));
      auto it = Data().indexes[k].lower_bound({sort, 0});
      if (it != Data().indexes[k].end() && it->first == sort && it->second != self)
        return btr::kDuplicateKey;
    }
    return btr::kOk;
  }

  void Index(std::uint32_t position, bool add) {
    const std::string& rec = Data().records.at(position);
    for (std::size_t k = 0; k < Layout().keys.size(); ++k) {
      IndexEntry e{recengine::SortKey(Layout(), k, recengine::RawKey(Layout(), k, rec)), position};
      if (add)
        Data().indexes[k].insert(std::move(e));
      else
        Data().indexes[k].erase(e);
    }
  }

  std::int16_t Insert() {
    if (dataLength_ != Layout().recordLength) return btr::kInvalidRecordLength;
    const std::string record(reinterpret_cast<const char*>(data_), dataLength_);
    if (const std::int16_t st = CheckDuplicates(record, 0); st != 0) return st;
    Touch();
    const std::uint32_t position = Data().nextPosition++;
    Data().records.emplace(position, record);
    Index(position, true);
    if (ValidKey(keyNumber_)) {
      SetCurrent(position, keyNumber_);
      const std::string raw = recengine::RawKey(Layout(), keyNumber_, record);
      std::memcpy(key_, raw.data(), raw.size());
    }
    return btr::kOk;
  }

  std::int16_t Update() {
    if (!open_->hasCurrent || !Data().records.count(open_->position))
      return btr::kInvalidPositioning;
    if (LockedByOther(open_->position)) return btr::kRecordInUse;
    if (dataLength_ != Layout().recordLength) return btr::kInvalidRecordLength;
    const std::string record(reinterpret_cast<const char*>(data_), dataLength_);
    if (const std::int16_t st = CheckDuplicates(record, open_->position); st != 0) return st;
    Touch();
    Index(open_->position, false);
    Data().records[open_->position] = record;
    Index(open_->position, true);
    SetCurrent(open_->position, open_->keyNumber);
    open_->file->locks.erase(open_->position);
    return btr::kOk;
  }

  std::int16_t Delete() {
    if (!open_->hasCurrent || !Data().records.count(open_->position))
      return btr::kInvalidPositioning;
    if (LockedByOther(open_->position)) return btr::kRecordInUse;
    Touch();
    Index(open_->position, false);
    Data().records.erase(open_->position);
    open_->file->locks.erase(open_->position);
    return btr::kOk;  // the currency stays on the gap, so Next/Previous go on from here
  }

  std::int16_t Open() {
    const std::string name = NameFromKey();
    auto f = s_.files.find(name);
    if (f == s_.files.end()) return btr::kFileNotFound;
    File& file = *f->second;
    const bool exclusive = keyNumber_ == -4;
    if ((file.exclusiveOwner != 0 && file.exclusiveOwner != client_) ||
        (file.transactionOwner != 0 && file.transactionOwner != client_))
      return btr::kFileInUse;
    if (exclusive)
      for (const auto& [id, o] : s_.opens)
        if (o.file == f->second && o.client != client_) return btr::kFileInUse;
    const std::uint32_t id = s_.nextOpenId++;
    OpenFile o;
    o.name = name;
    o.file = f->second;
    o.client = client_;
    o.exclusive = exclusive;
    s_.opens.emplace(id, std::move(o));
    if (exclusive) file.exclusiveOwner = client_;
    std::memset(pb_, 0, btr::kPositionBlockSize);
    std::memcpy(pb_, kMagic, 4);
    Put32(pb_ + 4, id);
    return btr::kOk;
  }

  std::int16_t Close() {
    ReleaseLocks(false);
    auto file = open_->file;
    s_.opens.erase(openId_);
    open_ = nullptr;
    bool stillExclusive = false;
    for (const auto& [id, o] : s_.opens)
      if (o.file == file && o.exclusive) stillExclusive = true;
    if (!stillExclusive && file->exclusiveOwner == client_) file->exclusiveOwner = 0;
    std::memset(pb_, 0, btr::kPositionBlockSize);
    return btr::kOk;
  }

  std::int16_t Create() {
    RecordFileLayout layout;
    if (const std::int16_t st = recengine::ParseLayout(data_, dataLength_, layout); st != 0)
      return st;
    const std::string name = NameFromKey();
    if (name.empty()) return btr::kFileNotFound;
    if (keyNumber_ == -1 && s_.files.count(name)) return btr::kFileExists;
    for (const auto& [id, o] : s_.opens)
      if (o.name == name) return btr::kFileInUse;
    auto file = std::make_shared<File>();
    file->data.layout = layout;
    file->data.indexes.resize(layout.keys.size());
    s_.files[name] = std::move(file);
    return btr::kOk;
  }

  std::int16_t BeginTransaction() {
    if (s_.transactions.count(client_)) return btr::kInvalidOperation;
    s_.transactions[client_];
    return btr::kOk;
  }

  std::int16_t EndTransaction(bool abort) {
    auto t = s_.transactions.find(client_);
    if (t == s_.transactions.end()) return btr::kInvalidOperation;
    for (auto& [file, snapshot] : t->second.snapshots) {
      if (abort) file->data = std::move(snapshot);
      file->transactionOwner = 0;
    }
    s_.transactions.erase(t);
    return btr::kOk;
  }

  std::int16_t Reset() {
    if (s_.transactions.count(client_)) EndTransaction(true);
    for (auto it = s_.opens.begin(); it != s_.opens.end();) {
      if (it->second.client == client_) {
        auto& locks = it->second.file->locks;
        for (auto l = locks.begin(); l != locks.end();)
          l = l->second.client == client_ ? locks.erase(l) : std::next(l);
        if (it->second.file->exclusiveOwner == client_) it->second.file->exclusiveOwner = 0;
        it = s_.opens.erase(it);
      } else {
        ++it;
      }
    }
    return btr::kOk;
  }
};

}  // namespace

MemoryRecordStore::MemoryRecordStore() : state_(std::make_unique<State>()) {}
MemoryRecordStore::~MemoryRecordStore() = default;

std::int16_t MemoryRecordStore::CreateFile(std::string_view name, const RecordFileLayout& layout) {
  if (const std::int16_t st = recengine::CheckLayout(layout); st != 0) return st;
  for (const auto& [id, o] : state_->opens)
    if (o.name == name) return btr::kFileInUse;
  auto file = std::make_shared<File>();
  file->data.layout = layout;
  for (auto& key : file->data.layout.keys)
    for (auto& seg : key) seg.flags &= ~btr::kSegAnotherFollows;
  file->data.indexes.resize(layout.keys.size());
  state_->files[std::string(name)] = std::move(file);
  return btr::kOk;
}

bool MemoryRecordStore::HasFile(std::string_view name) const {
  return state_->files.find(name) != state_->files.end();
}

std::size_t MemoryRecordStore::RecordCount(std::string_view name) const {
  auto it = state_->files.find(name);
  return it == state_->files.end() ? 0 : it->second->data.records.size();
}

MemoryRecordEngine::MemoryRecordEngine(std::shared_ptr<MemoryRecordStore> store, int clientId)
    : store_(std::move(store)), clientId_(clientId) {}

std::int16_t MemoryRecordEngine::BTRCALL(std::int16_t operation, std::uint8_t* positionBlock,
                                         std::uint8_t* dataBuffer, std::uint32_t& dataLength,
                                         std::uint8_t* keyBuffer, std::uint8_t keyLength,
                                         std::int8_t keyNumber) {
  Call call(store_->state(), clientId_, positionBlock, dataBuffer, dataLength, keyBuffer, keyLength,
            keyNumber);
  return call.Run(operation);
}

std::shared_ptr<RecordEngine> MakeMemoryRecordEngine() {
  return std::make_shared<MemoryRecordEngine>(std::make_shared<MemoryRecordStore>(), 1);
}

}  // namespace zt

#include "platform/memory/MemoryPlatform.h"

#include <algorithm>
#include <new>

#include "framework/FileException.h"
#include "platform/memory/MemoryInternal.h"

namespace memory {

namespace {

MemoryPlatform* g_current = nullptr;

// Windows-1252 upper case: ASCII, and the accented Latin letters.
char UpperCase1252(char c) {
  const auto byte = static_cast<unsigned char>(c);
  if (byte >= 'a' && byte <= 'z') return static_cast<char>(byte - 0x20);
  if (byte >= 0xE0 && byte <= 0xFE && byte != 0xF7) return static_cast<char>(byte - 0x20);
  if (byte == 0x9A || byte == 0x9C || byte == 0x9E) return static_cast<char>(byte - 0x10);
  if (byte == 0xFF) return static_cast<char>(0x9F);
  return c;
}

}  // namespace

MemoryPlatform* CurrentMemoryPlatform() { return g_current; }

MemoryPlatform::MemoryPlatform() {
  previous_ = g_current;
  g_current = this;
  SetPlatform(this);
  strings_[101] = "&About Sorvel Util...";
}

MemoryPlatform::~MemoryPlatform() {
  g_current = previous_;
  SetPlatform(previous_);
}

std::optional<long long> MemoryPlatform::Fault(const std::string& kind, long long failure) {
  calls_.push_back(kind);
  for (PlannedFault& fault : faults_) {
    if (fault.kind == kind) --fault.countdown;
  }
  auto due = std::find_if(faults_.begin(), faults_.end(),
                          [](const PlannedFault& fault) { return fault.countdown == 0; });
  if (due == faults_.end()) return std::nullopt;
  const PlannedFault fault = *due;  // the first planned of those due now; the others lapse
  faults_.erase(std::remove_if(faults_.begin(), faults_.end(),
                               [](const PlannedFault& planned) { return planned.countdown <= 0; }),
                faults_.end());
  switch (fault.mode) {
    case FaultMode::ThrowFileException: {
      auto* exception = new CFileException(0);
      thrownException_ = ExceptionNumber(exception);
      throw exception;
    }
    case FaultMode::ThrowBadAlloc:
      throw std::bad_alloc();
    case FaultMode::Answer:
      return fault.answer;
    case FaultMode::Fail:
      break;
  }
  return failure;
}

// --- Set-up ------------------------------------------------------------------

void MemoryPlatform::SetVersion(std::uint32_t platformId, std::uint32_t major,
                                std::uint32_t minor) {
  version_ = OsVersionInfo{major, minor, 0, platformId};
  versionFails_ = false;
}

sim::DriveModel& MemoryPlatform::AddDrive(char letter, sim::DriveConfig config) {
  DriveSlot& slot = drives_[letter];
  slot.model = std::make_unique<sim::DriveModel>(std::move(config));
  slot.openable = true;
  driveRoots_.push_back(std::string(1, letter) + ":\\");
  return *slot.model;
}

void MemoryPlatform::AddUnopenableDrive(char letter) {
  drives_[letter].openable = false;
  driveRoots_.push_back(std::string(1, letter) + ":\\");
}

sim::DriveModel* MemoryPlatform::Drive(char letter) {
  auto found = drives_.find(letter);
  return found == drives_.end() ? nullptr : found->second.model.get();
}

void MemoryPlatform::OnModal(int templateId, std::function<void(WindowHandle)> session) {
  sessions_[templateId].push_back(std::move(session));
}

void MemoryPlatform::SetIconic(WindowHandle dialog, bool iconic) { Window(dialog)->iconic = iconic; }

AspiSimulation& MemoryPlatform::InstallAspi(const std::string& place) {
  libraryPlaces_[place] = true;
  if (!aspi_) aspi_ = std::make_unique<AspiSimulation>();
  return *aspi_;
}

// --- Inspection ----------------------------------------------------------------

MemoryWindow* MemoryPlatform::Control(WindowHandle dialog, int id) const {
  for (MemoryWindow* child : Window(dialog)->children) {
    if (child->id == id) return child;
  }
  return nullptr;
}

std::string MemoryPlatform::Text(WindowHandle dialog, int id) const { return Control(dialog, id)->text; }

bool MemoryPlatform::Enabled(WindowHandle dialog, int id) const {
  return Control(dialog, id)->enabled;
}

int MemoryPlatform::Checked(WindowHandle dialog, int id) const { return Control(dialog, id)->check; }

std::vector<std::string> MemoryPlatform::MessageTexts() const {
  std::vector<std::string> texts;
  for (const MessageBoxRecord& box : messageBoxes_) texts.push_back(box.text);
  return texts;
}

int MemoryPlatform::TraceIndex(const std::string& prefix) const {
  for (std::size_t i = 0; i < trace_.size(); ++i) {
    if (trace_[i].compare(0, prefix.size(), prefix) == 0) return static_cast<int>(i);
  }
  return -1;
}

// --- Process -------------------------------------------------------------------

void MemoryPlatform::ExitProcess(unsigned exitCode) {
  trace_.push_back("ExitProcess " + std::to_string(exitCode));
  throw ProcessExit{exitCode};
}

bool MemoryPlatform::GetVersion(OsVersionInfo& info) {
  if (auto answer = Fault("GetVersion", 0)) return AnswerAs<bool>(*answer);
  trace_.push_back("GetVersion");
  if (versionFails_) return false;
  info = version_;
  return true;
}

void MemoryPlatform::UpperCaseAnsi(std::string& text) {
  std::transform(text.begin(), text.end(), text.begin(), UpperCase1252);
}

}  // namespace memory

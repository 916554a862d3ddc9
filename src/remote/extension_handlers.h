// The Remote Module's answers to the extension codes (33 and up), which only a
// Duplane program sends, and only after this module has answered the probe
// (LinkFileExists of kExtensionsProbePath) with true. Every length that
// arrives is held to the limits of link/extension_codes.h; a request that
// breaks them cannot be right and ends the connection, as for the plain codes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace duplane {

class LocalFileSystem;
class RequestIo;

struct ExtensionOptions {
  // Off, the module answers the probe with false and knows no extension code:
  // it is then a module that knows only the plain codes.
  bool enabled = true;
  // What a sub-directory batch may spend asking each name's own questions
  // (has it sub-directories, its icons); the names left when it runs out go
  // without, and the program asks those one by one. Well inside the
  // program's 10 s wait.
  std::uint32_t tree_budget_ms = 2000;
};

class ExtensionHandlers {
 public:
  ExtensionHandlers(RequestIo& io, LocalFileSystem& files, ExtensionOptions options);

  // The probe: true for the reserved path while the extensions are on.
  bool AnswersProbe(const std::string& path) const;
  bool Handles(std::uint8_t code) const;
  // As CommandDispatcher::Handle, for an extension code.
  bool Handle(std::uint8_t code);

 private:
  bool FileReadPacked();
  bool FileWritePacked();
  bool FindBatch(bool first);
  bool ListSubDirsBatch();
  bool RangeCrc();

  RequestIo& io_;
  LocalFileSystem& files_;
  ExtensionOptions options_;
  std::vector<std::uint8_t> data_;    // one transfer block, allocated once
  std::vector<std::uint8_t> packed_;  // the deflated bytes of one
};

}  // namespace duplane

// A file on disk as a ByteSource: each read goes to the bytes asked for
// and reads them into the caller's buffer; nothing of the file is mapped
// or held. One thread reads it at a time. Also what identifies the file
// on disk, to notice a change.
#pragma once

#include <memory>
#include <string>

#include "byte_source.h"
#include "sample_source.h"

namespace recording {

// Opens `path` for reading, letting others write and delete it meanwhile
// (a change is noticed, not prevented). Null after *error names the file
// as `name`.
std::unique_ptr<ByteSource> OpenFileBytes(const std::string& path, const std::string& name, std::string* error);

// The file's size and modification time now, under `name`; false when it
// is gone or cannot be asked.
bool IdentifyFile(const std::string& path, const std::string& name, FileIdentity* out);
// Whether the file opened as `opened` is gone or no longer the same.
bool ChangedOnDisk(const FileIdentity& opened);

// A recording's file opened to be read in place: its bytes and what
// identifies it as opened. False after *error says why, naming the file.
struct OpenedFile {
  std::shared_ptr<ByteSource> bytes;
  FileIdentity identity;
};
bool OpenRecordingFile(const std::string& path, const std::string& name, OpenedFile* out, std::string* error);

// A file of the process's own in the temporary folder, gone once closed:
// written in order, then read in place. What a reader parses from a
// recording's text goes there, so that it needs no more memory for a
// long recording than for a short one.
class SpillFile {
 public:
  virtual ~SpillFile() = default;
  // Null when no such file can be made.
  static std::unique_ptr<SpillFile> Create();
  // False when the bytes could not be written (a full disk).
  virtual bool Append(const void* bytes, std::size_t count) = 0;
  // The bytes written so far, to be read; the file is then no longer written.
  virtual std::shared_ptr<ByteSource> Bytes() = 0;
};

}  // namespace recording

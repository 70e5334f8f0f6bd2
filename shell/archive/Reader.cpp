#include "shell/archive/Reader.h"

#include <archive.h>

#include <cerrno>

namespace qov {

void ReaderCloser::operator()(archive* a) const {
  archive_read_free(a);
}

Reader openReader(const std::filesystem::path& file, std::string& error) {
  Reader reader(archive_read_new());
  archive* a = reader.get();
  if (a == nullptr) {
    error = "out of memory";
    return nullptr;
  }
  archive_read_support_format_7zip(a);
  archive_read_support_format_cab(a);
  archive_read_support_format_iso9660(a);
  archive_read_support_format_lha(a);
  archive_read_support_format_rar(a);
  archive_read_support_format_rar5(a);
  archive_read_support_format_tar(a);
  archive_read_support_format_zip(a);
  archive_read_support_filter_bzip2(a);
  archive_read_support_filter_compress(a);
  archive_read_support_filter_gzip(a);
  archive_read_support_filter_lzma(a);
  archive_read_support_filter_xz(a);
  archive_read_support_filter_zstd(a);
  // LZH has no flag for its names' encoding; the archives of the time wrote CP932.
  archive_read_set_format_option(a, "lha", "hdrcharset", "CP932");
  // Small blocks keep the bytes read per entry close to its packed size (the ratio limit).
  constexpr std::size_t kBlock = 16 * 1024;
  if (archive_read_open_filename(a, file.c_str(), kBlock) != ARCHIVE_OK) {
    const int number = archive_errno(a);
    const std::string why = readerError(a, "unknown format");
    // libarchive says EILSEQ for a format it does not know, -1 for data it cannot unpack.
    if (number == EILSEQ) {
      error = "not an archive or disc image that can be opened (" + why + ")";
    } else if (number == -1) {
      error = "damaged or cut off: " + why;  // a compression recognised, its data not
    } else {
      error = "cannot be read: " + why;
    }
    return nullptr;
  }
  return reader;
}

std::string readerError(archive* a, const char* fallback) {
  const char* text = archive_error_string(a);
  return text != nullptr && *text != '\0' ? text : fallback;
}

}  // namespace qov

#include "seam/FileError.h"

#include <new>

#include "text/TextFormat.h"

namespace kestro {

namespace {

const char* causeTemplate(FileErrorCause cause) {
    switch (cause) {
        case FileErrorCause::NotFound: return "%1 が見つかりませんでした。";
        case FileErrorCause::InvalidPath: return "%1 には無効なﾊﾟｽが含まれています。";
        case FileErrorCause::TooManyOpenFiles: return "開いているﾌｧｲﾙが多すぎるため、%1 を開けませんでした。";
        case FileErrorCause::AccessDenied: return "%1 へのｱｸｾｽは拒否されました。";
        case FileErrorCause::InvalidHandle: return "%1 へ無効なﾌｧｲﾙ ﾊﾝﾄﾞﾙが関連付けられていました。";
        case FileErrorCause::HardwareIo: return "%1 へのｱｸｾｽ中にﾊｰﾄﾞｳｪｱ I/O ｴﾗｰが報告されました。";
        case FileErrorCause::SharingViolation: return "%1 へのｱｸｾｽ中に共有違反が発生しました。";
        case FileErrorCause::LockViolation: return "%1 へのｱｸｾｽ中にﾛｯｸ違反が発生しました。";
        case FileErrorCause::Other: break;
    }
    return "%1 へのｱｸｾｽ中に不明なｴﾗｰが発生しました。";
}

}  // namespace

std::string fileErrorText(const FileError& error) {
    const std::string name = error.fileName().empty() ? std::string("無題のﾌｧｲﾙ") : error.fileName();
    // Each template holds %1 exactly once; the name itself is never scanned,
    // so a "%1" inside a file name stays as it is.
    return fillPlaceholder(causeTemplate(error.cause()), "%1", name);
}

std::string memoryErrorText() { return "ﾒﾓﾘが不足しています。"; }

std::string readTextFile(FileSystem& files, const std::string& path) {
    std::string text;
    try {
        text = files.readWholeFile(path);
    } catch (const std::bad_alloc&) {
        throw MemoryError();
    }
    // The text ends where the file holds its first zero byte.
    const std::size_t zero = text.find('\0');
    if (zero != std::string::npos) text.resize(zero);
    return text;
}

}  // namespace kestro

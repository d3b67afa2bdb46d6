// The key that names the one running copy of the program for a settings file: two starts that
// would write the same file get the same key, starts with different files different keys.
// Plain text work; resolving links is the file system's part (platform/services/FileSystem.h).
#pragma once

#include <string>
#include <string_view>

namespace platform {

// How a system spells paths. Windows takes "\" and "/" alike, roots a path at a drive ("C:\")
// or a share ("\\server\share") and ignores letter case; elsewhere "/" alone separates and
// case counts.
enum class PathStyle { Posix, Windows };

// The style of the system the program runs on.
PathStyle SystemPathStyle();

// path made absolute against currentFolder (itself absolute), without empty, "." and ".."
// steps (".." at the root stays there), with the style's own separator ("\" on Windows)
// between steps, and on Windows with ASCII letters in lower case (ResolvedPath folds the
// others). Purely textual: a ".." after a symbolic link is taken back lexically.
std::string NormalisedPath(std::string_view path, std::string_view currentFolder, PathStyle style);

// The key for a normalised path: "ticker-" and 16 lower-case hexadecimal digits, short and
// plain enough for a file or socket name and a kernel object's name.
std::string RunningCopyKey(std::string_view normalisedPath);

}  // namespace platform

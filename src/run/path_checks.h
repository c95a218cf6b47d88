// Checks on the paths of a run, made before anything is touched: the input
// and the masters must be plugin files that the run neither writes nor
// deletes, the loss report may stand in the place of nothing the run reads
// or writes, and the output "LANDFER.ESP" must be a regular file or not
// yet there.
#pragma once

#include <string>
#include <vector>

namespace landfer {

// The one wording of a file that cannot be opened: "Unable to open <name>
// for <reading or writing>: <reason>", raised as a FatalError.
[[noreturn]] void cannotOpen(const std::string& name, const char* purpose, const std::string& reason);

// Whether two paths name the same file: by file identity where both exist
// (any spelling of the path, a hard or symbolic link); otherwise by the
// absolute path with "." and ".." and the symbolic links along it resolved,
// so that a file to be created is known by the place it will have.
bool samePlace(const std::string& a, const std::string& b);

// Raises FatalError, naming the plugin by its role ("input", "master"),
// when a plugin the run reads exists but is no regular file (a FIFO, whose
// opening would wait forever, a directory, a device; a missing one is left
// for the open to report); when it is the output file itself, which the
// run replaces; or when it is, or is a link to, one of the temporary files
// that the run deletes when it starts.
void refusePluginPath(const char* role, const std::string& name, const char* outputName);

// Raises FatalError when the loss report asked for is or will be one of
// the plugins read (the input, a master), the output, a temporary file or
// a file of the lookup directory (or would be made in that directory), or
// exists and is no regular file.
void refuseReportPath(const std::string& reportName, const std::vector<std::string>& plugins, const char* outputName,
                      const std::string& lookupDirectory);

// Raises FatalError with the open-for-writing message when the output path
// holds something other than a regular file (a directory, a FIFO, a
// device): only a regular file is replaced.
void refuseOutputThatIsNoRegularFile(const char* outputName);

}  // namespace landfer

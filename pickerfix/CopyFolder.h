#pragma once

// Where Docmend puts the copies it makes: for each relocated URL a new
// folder, named by a new UUID, inside this folder of the app's temporary
// directory, holding the copy under the picked item's own name:
//
//   NSTemporaryDirectory()/Docmend/<UUID>/<name>
//
// The one spelling of the folder's name, for the library, its tests and its
// benchmark.

inline constexpr char kTDMCopyFolder[] = "Docmend";

// The names of colour lists: a list is the file folder + name + ".clr", and the name
// is what the list file selector shows.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tinctor {

// The list file of Name in Folder (a folder with a trailing "/").
std::string ColorListPath(const std::string& folder, std::string_view name);

// Why Name cannot be the name of a new list beside the lists Existing, or empty when
// it can: an empty name, one with "/" or a control character, one beginning with "."
// (a hidden file the listing would never show), one too long for a file name, and
// one equal to an existing list without regard to case are refused.
std::string NewListNameRefusal(std::string_view name, const std::vector<std::string>& existing);

// The index in Names of Name: the exact match first, else the first one equal to it
// without regard to case; -1 when there is none.
int FindListName(const std::vector<std::string>& names, std::string_view name);

// The refusal of a name that is taken, and of a list file that cannot be made.
inline constexpr const char* ListNameExistsMessage = "指定したファイル名はもう存在しています。";
std::string CannotCreateListMessage(const std::string& path);

}  // namespace tinctor

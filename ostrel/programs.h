// The bare names by which the front end starts programs: the six engines of this system, and
// the fourteen outside programs (one per method button or parameter form) that users install
// under these names themselves. Every name is lower case, ends in ".exe" and is distinct.
#pragma once

namespace ostrel::programs {

// Engines of this system.
inline constexpr const char* Varnek = "varnek.exe";
inline constexpr const char* Tolvar = "tolvar.exe";
inline constexpr const char* Korrin = "korrin.exe";
inline constexpr const char* Cure = "cure.exe";
inline constexpr const char* Sting = "sting.exe";
inline constexpr const char* Birch = "birch.exe";

// Outside programs started directly from the "Algorithms" form.
inline constexpr const char* Kmeans = "kmeans.exe";
inline constexpr const char* Pam = "pam.exe";
inline constexpr const char* Tolvars = "tolvars.exe";
inline constexpr const char* Dbscan = "dbscan.exe";
inline constexpr const char* Optics = "optics.exe";
inline constexpr const char* Denclue = "denclue.exe";
inline constexpr const char* Clique = "clique.exe";
inline constexpr const char* Fcm = "fcm.exe";
inline constexpr const char* Gk = "gk.exe";
inline constexpr const char* GaClustering = "gaclustering.exe";

// Outside programs started by "Execute" on the parameter forms.
inline constexpr const char* SingleLinkage = "singlelinkage.exe";
inline constexpr const char* CompleteLinkage = "completelinkage.exe";
inline constexpr const char* AverageLinkage = "averagelinkage.exe";
inline constexpr const char* Diana = "diana.exe";

}  // namespace ostrel::programs

#pragma once
// The object names of the main-menu items that code outside the menu names:
// windows ask their write right under them (CanWrite), the rights filtering
// and the rights editor treat some of them apart, and the main window's menu
// table builds its items under the same names. A right asked and an item built
// can then never differ by a typo (a right asked under a name no item has would
// find no row, and no row means read and write).

#include <QLatin1String>

namespace MenuItem {

// Fichier
inline constexpr QLatin1String mnBenef{"mnBenef"};
inline constexpr QLatin1String mnGrades{"mnGrades"};
inline constexpr QLatin1String mnBanque{"mnBanque"};
inline constexpr QLatin1String mnAgence{"mnAgence"};
inline constexpr QLatin1String mnFNM{"mnFNM"};
inline constexpr QLatin1String mnRetenues{"mnRetenues"};
inline constexpr QLatin1String mnWilaya{"mnWilaya"};
// Budget
inline constexpr QLatin1String mnBudget{"mnBudget"};
inline constexpr QLatin1String mnTransfert{"mnTransfert"};
// Dépense
inline constexpr QLatin1String mnFactures{"mnFactures"};
inline constexpr QLatin1String mnAutreDep{"mnAutreDep"};
inline constexpr QLatin1String mnDepSalaire{"mnDepSalaire"};
// Engagement
inline constexpr QLatin1String mnEng_Dep{"mnEng_Dep"};
inline constexpr QLatin1String mnEng_Eco{"mnEng_Eco"};
inline constexpr QLatin1String mnEng_List{"mnEng_List"};
// Mandat
inline constexpr QLatin1String mnMandat{"mnMandat"};
inline constexpr QLatin1String mnListMdt{"mnListMdt"};
// Outils
inline constexpr QLatin1String ChangerExercice1{"ChangerExercice1"};
inline constexpr QLatin1String mnSave{"mnSave"};
inline constexpr QLatin1String mnRestore{"mnRestore"};
inline constexpr QLatin1String mnSQL{"mnSQL"};
inline constexpr QLatin1String mnConnection{"mnConnection"};
inline constexpr QLatin1String mnUsers{"mnUsers"};
inline constexpr QLatin1String mnSecurite{"mnSecurite"};

} // namespace MenuItem

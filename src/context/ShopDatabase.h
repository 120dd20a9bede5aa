#pragma once
// Filling the application context: the settings of sql.ini, the shop database of the mode, and the
// shop's rows (discount scheme, settings, member tiers). Values reach the database bound.
class AppContext;

// Reads sql.ini of the program directory into the context, in this order: the five server
// settings, the shop, the receipt and label switches, the database mode. Missing values read "".
void loadSettingsFromIni(AppContext &context);

// Opens the context's shop connection by runMode: "单机版" the SQLite file qi.db of the program
// directory (never created when missing; a file that is not a shop database, an empty one say, is
// not opened and not touched), "网络版" PostgreSQL with sqlServerSettings; any other mode opens
// nothing. Returns whether the connection is open.
bool openShopDatabase(AppContext &context);

// The shop's first 折扣方案 row (by id) into discountScheme; no row gives empty fields.
// False, with the context unchanged, when the statement failed (it is logged).
bool loadDiscountScheme(AppContext &context);
// The first 店铺名 row of currentShop (by id) into shopSettings; no row gives empty fields.
bool loadShopSettings(AppContext &context);
// The shop's first three 会员类别 rows by ascending 会员折扣 into memberTiers, tier 1 first. The
// tiers are cleared first, so a deleted category does not stay in force; tiers without a row are empty.
bool loadMemberTiers(AppContext &context);

-- Tables, indexes and shipped rows of the shop database (SQLite, single-machine mode).
-- Create the database file with:  sqlite3 qi.db < db/sqlite.sql
-- Every business column is text, empty unless written; keep this file in step with db/postgres.sql.
-- Running the file again changes nothing. The file is the whole current schema: an older shop
-- database is brought up to it by the numbered scripts of db/upgrade/.

BEGIN;

-- Shops and their fourteen settings (the shop name is the key other tables refer to)
CREATE TABLE IF NOT EXISTS 店铺名 (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    店名 TEXT DEFAULT '',
    销售 TEXT DEFAULT '',
    积分模式 TEXT DEFAULT '',
    积分值 TEXT DEFAULT '',
    抵扣值 TEXT DEFAULT '',
    折上折 TEXT DEFAULT '',
    升级模式 TEXT DEFAULT '',
    会员共享 TEXT DEFAULT '',
    开启公告 TEXT DEFAULT '',
    公告间隔 TEXT DEFAULT '',
    满就送 TEXT DEFAULT '',
    生日提醒 TEXT DEFAULT '',
    上限报警 TEXT DEFAULT '',
    下限报警 TEXT DEFAULT '',
    报警开关 TEXT DEFAULT ''
);

-- User accounts with their twenty rights ("√" = granted)
CREATE TABLE IF NOT EXISTS 帐号管理 (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    帐号 TEXT DEFAULT '',
    密码 TEXT DEFAULT '',
    姓名 TEXT DEFAULT '',
    电话 TEXT DEFAULT '',
    所属店铺 TEXT DEFAULT '',
    前台收银 TEXT DEFAULT '',
    实况播报 TEXT DEFAULT '',
    销售明细 TEXT DEFAULT '',
    销售简表 TEXT DEFAULT '',
    销量排行 TEXT DEFAULT '',
    退货管理 TEXT DEFAULT '',
    导出明细 TEXT DEFAULT '',
    会员管理 TEXT DEFAULT '',
    添加会员 TEXT DEFAULT '',
    积分调整 TEXT DEFAULT '',
    导出会员 TEXT DEFAULT '',
    采购入库 TEXT DEFAULT '',
    调整价格 TEXT DEFAULT '',
    采购报表 TEXT DEFAULT '',
    库存管理 TEXT DEFAULT '',
    库存调拨 TEXT DEFAULT '',
    分类管理 TEXT DEFAULT '',
    开支管理 TEXT DEFAULT '',
    查看进价 TEXT DEFAULT '',
    系统设置 TEXT DEFAULT ''
);

-- Discount scheme of each shop
CREATE TABLE IF NOT EXISTS 折扣方案 (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    款号字母 TEXT DEFAULT '',
    商品折扣 TEXT DEFAULT '',
    统一折扣 TEXT DEFAULT '',
    自由优惠 TEXT DEFAULT '',
    所属店铺 TEXT DEFAULT ''
);

-- Full-amount promotions (spend more than 满, get 送 off, until 截止时间)
CREATE TABLE IF NOT EXISTS 满额促销 (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    满 TEXT DEFAULT '',
    送 TEXT DEFAULT '',
    截止时间 TEXT DEFAULT '',
    所属店铺 TEXT DEFAULT ''
);

-- Notice text of each shop, shown in the cashier ticker
CREATE TABLE IF NOT EXISTS 通告管理 (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    通告 TEXT DEFAULT '',
    所属店铺 TEXT DEFAULT ''
);

-- Operation log
CREATE TABLE IF NOT EXISTS 日志记录 (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    门店 TEXT DEFAULT '',
    用户名 TEXT DEFAULT '',
    操作内容 TEXT DEFAULT '',
    操作时间 TEXT DEFAULT '',
    所属店铺 TEXT DEFAULT ''
);

-- Live sales feed messages between shops
CREATE TABLE IF NOT EXISTS 消息管理 (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    消息 TEXT DEFAULT '',
    所属店铺 TEXT DEFAULT '',
    发送时间 TEXT DEFAULT '',
    发送日期 TEXT DEFAULT '',
    店员 TEXT DEFAULT ''
);

-- Stock: one row per purchased item, colour and size, per shop
CREATE TABLE IF NOT EXISTS 采购入库 (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    商品条码 TEXT DEFAULT '',
    供货来源 TEXT DEFAULT '',
    已售 TEXT DEFAULT '',
    类别 TEXT DEFAULT '',
    款号 TEXT DEFAULT '',
    名称 TEXT DEFAULT '',
    颜色 TEXT DEFAULT '',
    尺码 TEXT DEFAULT '',
    数量 TEXT DEFAULT '',
    进货价 TEXT DEFAULT '',
    吊牌价 TEXT DEFAULT '',
    折扣 TEXT DEFAULT '',
    应收款 TEXT DEFAULT '',
    入库人 TEXT DEFAULT '',
    入库日期 TEXT DEFAULT '',
    所属店铺 TEXT DEFAULT '',
    销售日期 TEXT DEFAULT '',
    导购员 TEXT DEFAULT '',
    收银员 TEXT DEFAULT '',
    会员编号 TEXT DEFAULT '',
    销售折扣 TEXT DEFAULT '',
    销售单价 TEXT DEFAULT '',
    小票单号 TEXT DEFAULT '',
    积分抵扣 TEXT DEFAULT '',
    拼音检索 TEXT DEFAULT '',
    单位 TEXT DEFAULT '',
    结付方式 TEXT DEFAULT '',
    特价 TEXT DEFAULT '',
    零库存 TEXT DEFAULT '',
    大类 TEXT DEFAULT '',
    上限 TEXT DEFAULT '',
    下限 TEXT DEFAULT '',
    开关 TEXT DEFAULT ''
);

-- Numeric tails of saved style numbers, for suggesting the next one
CREATE TABLE IF NOT EXISTS 款式号 (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    款号 TEXT DEFAULT '',
    所属店铺 TEXT DEFAULT ''
);

-- History of stock adjustments (原始ID points at the stock row)
CREATE TABLE IF NOT EXISTS 商品历史 (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    当前总数 TEXT DEFAULT '',
    数量 TEXT DEFAULT '',
    原始ID TEXT DEFAULT '',
    成本价 TEXT DEFAULT '',
    吊牌价 TEXT DEFAULT '',
    商品折扣 TEXT DEFAULT '',
    特价 TEXT DEFAULT '',
    操作员 TEXT DEFAULT '',
    调整日期 TEXT DEFAULT '',
    备注 TEXT DEFAULT ''
);

-- Stock transfers between shops
CREATE TABLE IF NOT EXISTS 调拨记录 (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    调拨时间 TEXT DEFAULT '',
    操作员 TEXT DEFAULT '',
    调出门店 TEXT DEFAULT '',
    接收门店 TEXT DEFAULT '',
    商品名称 TEXT DEFAULT '',
    款号 TEXT DEFAULT '',
    供货商 TEXT DEFAULT '',
    颜色 TEXT DEFAULT '',
    尺码 TEXT DEFAULT '',
    单位 TEXT DEFAULT '',
    数量 TEXT DEFAULT '',
    成本价 TEXT DEFAULT '',
    所属店铺 TEXT DEFAULT ''
);

-- Two-level item categories
CREATE TABLE IF NOT EXISTS 分类例表 (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    项目名称 TEXT DEFAULT '',
    一级编号 TEXT DEFAULT '',
    二级编号 TEXT DEFAULT '',
    所属店铺 TEXT DEFAULT ''
);

-- Colours and sizes of each shop, one value per row
CREATE TABLE IF NOT EXISTS 颜色尺码 (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    颜色 TEXT DEFAULT '',
    尺码 TEXT DEFAULT '',
    所属店铺 TEXT DEFAULT ''
);

-- Units of each shop
CREATE TABLE IF NOT EXISTS 单位管理 (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    单位 TEXT DEFAULT '',
    所属店铺 TEXT DEFAULT ''
);

-- Suppliers of each shop
CREATE TABLE IF NOT EXISTS 供货管理 (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    供应商名称 TEXT DEFAULT '',
    联系人 TEXT DEFAULT '',
    供应商地址 TEXT DEFAULT '',
    手机 TEXT DEFAULT '',
    电话 TEXT DEFAULT '',
    传真 TEXT DEFAULT '',
    所属店铺 TEXT DEFAULT ''
);

-- Sales: one row per sold cart line
CREATE TABLE IF NOT EXISTS 销售明细 (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    导购员 TEXT DEFAULT '',
    小票单号 TEXT DEFAULT '',
    商品条码 TEXT DEFAULT '',
    类别 TEXT DEFAULT '',
    款号 TEXT DEFAULT '',
    颜色 TEXT DEFAULT '',
    尺码 TEXT DEFAULT '',
    进货价 TEXT DEFAULT '',
    吊牌价 TEXT DEFAULT '',
    金额 TEXT DEFAULT '',
    收银员 TEXT DEFAULT '',
    会员编号 TEXT DEFAULT '',
    销售日期 TEXT DEFAULT '',
    结付方式 TEXT DEFAULT '',
    所属店铺 TEXT DEFAULT '',
    折扣 TEXT DEFAULT '',
    单位 TEXT DEFAULT '',
    数量 TEXT DEFAULT '',
    商品名称 TEXT DEFAULT '',
    备注 TEXT DEFAULT '',
    现金 TEXT DEFAULT '',
    银行 TEXT DEFAULT '',
    积分 TEXT DEFAULT '',
    优惠券 TEXT DEFAULT '',
    拼音检索 TEXT DEFAULT '',
    供货来源 TEXT DEFAULT '',
    商品折扣 TEXT DEFAULT '',
    入库日期 TEXT DEFAULT '',
    销售时间 TEXT DEFAULT '',
    储值 TEXT DEFAULT ''
);

-- Monthly sales ranking: one row per style number, month and shop
CREATE TABLE IF NOT EXISTS 销量排行 (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    类别 TEXT DEFAULT '',
    款号 TEXT DEFAULT '',
    成本价 TEXT DEFAULT '',
    吊牌价 TEXT DEFAULT '',
    最近售出日期 TEXT DEFAULT '',
    所属店铺 TEXT DEFAULT '',
    单位 TEXT DEFAULT '',
    已售数量 TEXT DEFAULT '',
    商品名称 TEXT DEFAULT '',
    供货来源 TEXT DEFAULT '',
    当月时间 TEXT DEFAULT ''
);

-- Held orders: one row per cart line of a held order
CREATE TABLE IF NOT EXISTS 提交挂单 (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    编号 TEXT DEFAULT '',
    商品条码 TEXT DEFAULT '',
    分类 TEXT DEFAULT '',
    款号 TEXT DEFAULT '',
    商品名称 TEXT DEFAULT '',
    颜色 TEXT DEFAULT '',
    尺码 TEXT DEFAULT '',
    数量 TEXT DEFAULT '',
    单位 TEXT DEFAULT '',
    吊牌价 TEXT DEFAULT '',
    折扣 TEXT DEFAULT '',
    金额 TEXT DEFAULT '',
    导购员 TEXT DEFAULT '',
    真挂单号 TEXT DEFAULT '',
    结付方式 TEXT DEFAULT '',
    备注 TEXT DEFAULT '',
    所属店铺 TEXT DEFAULT '',
    挂单号 TEXT DEFAULT '',
    G挂单时间 TEXT DEFAULT '',
    G商品名称 TEXT DEFAULT '',
    G分类 TEXT DEFAULT '',
    G款号 TEXT DEFAULT '',
    G总单数 TEXT DEFAULT '',
    G总金额 TEXT DEFAULT '',
    G备注 TEXT DEFAULT ''
);

-- Register of held-order numbers given out per shop
CREATE TABLE IF NOT EXISTS 挂单号 (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    挂单号 TEXT DEFAULT '',
    所属店铺 TEXT DEFAULT ''
);

-- Counter returns: one row per returned unit
CREATE TABLE IF NOT EXISTS 退货管理 (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    供货来源 TEXT DEFAULT '',
    商品名称 TEXT DEFAULT '',
    分类 TEXT DEFAULT '',
    款号 TEXT DEFAULT '',
    颜色 TEXT DEFAULT '',
    尺码 TEXT DEFAULT '',
    单位 TEXT DEFAULT '',
    成本价 TEXT DEFAULT '',
    销售金额 TEXT DEFAULT '',
    销售日期 TEXT DEFAULT '',
    退货日期 TEXT DEFAULT '',
    商品情况 TEXT DEFAULT '',
    备注 TEXT DEFAULT '',
    所属店铺 TEXT DEFAULT ''
);

-- Members: one row per member card
CREATE TABLE IF NOT EXISTS 会员管理 (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    会员卡号 TEXT DEFAULT '',
    会员姓名 TEXT DEFAULT '',
    会员类别 TEXT DEFAULT '',
    手机 TEXT DEFAULT '',
    消费金额 TEXT DEFAULT '',
    积分 TEXT DEFAULT '',
    本年生日 TEXT DEFAULT '',
    备注 TEXT DEFAULT '',
    开卡日期 TEXT DEFAULT '',
    最近消费 TEXT DEFAULT '',
    办理人 TEXT DEFAULT '',
    会员储值 TEXT DEFAULT '',
    所属店铺 TEXT DEFAULT ''
);

-- Member tiers of each shop; shop "---" holds the default tiers
CREATE TABLE IF NOT EXISTS 会员类别 (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    会员类别 TEXT DEFAULT '',
    会员折扣 TEXT DEFAULT '',
    累计积分 TEXT DEFAULT '',
    所属店铺 TEXT DEFAULT ''
);

-- Point and stored-value adjustments of members (门面 is the shop)
CREATE TABLE IF NOT EXISTS 调整积分 (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    积分卡号 TEXT DEFAULT '',
    调整日期 TEXT DEFAULT '',
    增加积分 TEXT DEFAULT '',
    减少积分 TEXT DEFAULT '',
    增加储值 TEXT DEFAULT '',
    备注 TEXT DEFAULT '',
    操作员 TEXT DEFAULT '',
    门面 TEXT DEFAULT ''
);

-- Daily and monthly settlements (判断 "-" marks a month row)
CREATE TABLE IF NOT EXISTS 销售简表 (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    结算日期 TEXT DEFAULT '',
    销售量 TEXT DEFAULT '',
    销售金额 TEXT DEFAULT '',
    成本价 TEXT DEFAULT '',
    毛利润 TEXT DEFAULT '',
    利润率 TEXT DEFAULT '',
    银行 TEXT DEFAULT '',
    积分 TEXT DEFAULT '',
    优惠券 TEXT DEFAULT '',
    储值 TEXT DEFAULT '',
    实收金额 TEXT DEFAULT '',
    操作员 TEXT DEFAULT '',
    备注 TEXT DEFAULT '',
    所属店铺 TEXT DEFAULT '',
    判断 TEXT DEFAULT ''
);

-- Purchase report: one row per shop, day and supplier
CREATE TABLE IF NOT EXISTS 采购报表 (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    所属店铺 TEXT DEFAULT '',
    采购日期 TEXT DEFAULT '',
    供货来源 TEXT DEFAULT '',
    数量 TEXT DEFAULT '',
    成本价 TEXT DEFAULT '',
    操作员 TEXT DEFAULT '',
    备注 TEXT DEFAULT '',
    尾采购日期 TEXT DEFAULT ''
);

-- Shop expenses
CREATE TABLE IF NOT EXISTS 开支管理 (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    开支项目 TEXT DEFAULT '',
    金额 TEXT DEFAULT '',
    经手人 TEXT DEFAULT '',
    日期 TEXT DEFAULT '',
    所属店铺 TEXT DEFAULT ''
);

-- Indexes for the frequent lookups
CREATE INDEX IF NOT EXISTS idx_stock_shop_barcode ON 采购入库 (所属店铺, 商品条码);
CREATE INDEX IF NOT EXISTS idx_stock_shop_style ON 采购入库 (所属店铺, 款号);
CREATE INDEX IF NOT EXISTS idx_stock_shop_pinyin ON 采购入库 (所属店铺, 拼音检索);
CREATE INDEX IF NOT EXISTS idx_history_stock_row ON 商品历史 (原始ID);
CREATE INDEX IF NOT EXISTS idx_sales_shop_date ON 销售明细 (所属店铺, 销售日期);
CREATE INDEX IF NOT EXISTS idx_sales_receipt ON 销售明细 (小票单号);
CREATE INDEX IF NOT EXISTS idx_sales_member ON 销售明细 (会员编号);
-- One ranking row per shop, month and style number: a sale adds its zero row with
-- INSERT ... ON CONFLICT DO NOTHING and then increments it, so two first sales never make two rows.
CREATE UNIQUE INDEX IF NOT EXISTS idx_ranking_shop_month_style ON 销量排行 (所属店铺, 当月时间, 款号);
CREATE INDEX IF NOT EXISTS idx_held_shop_number ON 提交挂单 (所属店铺, 真挂单号);
CREATE INDEX IF NOT EXISTS idx_member_card ON 会员管理 (会员卡号);
CREATE INDEX IF NOT EXISTS idx_adjust_card ON 调整积分 (积分卡号);
CREATE INDEX IF NOT EXISTS idx_account_name ON 帐号管理 (帐号);
CREATE INDEX IF NOT EXISTS idx_log_shop ON 日志记录 (所属店铺);
-- One settings row per shop name, even when two workstations add the same shop at once.
CREATE UNIQUE INDEX IF NOT EXISTS idx_shop_name ON 店铺名 (店名);
-- A first-level category code is given once, even when two workstations add one at the same moment.
CREATE UNIQUE INDEX IF NOT EXISTS idx_category_top_code ON 分类例表 (一级编号) WHERE 一级编号 <> '';

-- Contains-searches of the counter (款号 or 拼音检索 holding a key of three characters or more)
-- start from this trigram index. It stores no text of its own: its rows are the stock rows by id,
-- kept in step by the three triggers below.
CREATE VIRTUAL TABLE IF NOT EXISTS stock_search USING fts5(拼音检索, 款号, content='采购入库', content_rowid='id', tokenize='trigram');
CREATE TRIGGER IF NOT EXISTS stock_search_insert AFTER INSERT ON 采购入库 BEGIN
    INSERT INTO stock_search (rowid, 拼音检索, 款号) VALUES (new.id, new.拼音检索, new.款号);
END;
CREATE TRIGGER IF NOT EXISTS stock_search_delete AFTER DELETE ON 采购入库 BEGIN
    INSERT INTO stock_search (stock_search, rowid, 拼音检索, 款号) VALUES ('delete', old.id, old.拼音检索, old.款号);
END;
CREATE TRIGGER IF NOT EXISTS stock_search_update AFTER UPDATE OF id, 拼音检索, 款号 ON 采购入库 BEGIN
    INSERT INTO stock_search (stock_search, rowid, 拼音检索, 款号) VALUES ('delete', old.id, old.拼音检索, old.款号);
    INSERT INTO stock_search (rowid, 拼音检索, 款号) VALUES (new.id, new.拼音检索, new.款号);
END;

-- The administrator account "admin" (password 580417) with all twenty rights; no shop yet
INSERT INTO 帐号管理 (帐号, 密码, 姓名, 电话, 所属店铺,
    前台收银, 实况播报, 销售明细, 销售简表, 销量排行, 退货管理, 导出明细, 会员管理, 添加会员, 积分调整,
    导出会员, 采购入库, 调整价格, 采购报表, 库存管理, 库存调拨, 分类管理, 开支管理, 查看进价, 系统设置)
SELECT 'admin', '580417', '管理员', '', '',
    '√', '√', '√', '√', '√', '√', '√', '√', '√', '√',
    '√', '√', '√', '√', '√', '√', '√', '√', '√', '√'
WHERE NOT EXISTS (SELECT 1 FROM 帐号管理 WHERE 帐号 = 'admin');

-- Default member tiers (shop "---"), shown to a shop until it saves tiers of its own
INSERT INTO 会员类别 (会员类别, 会员折扣, 累计积分, 所属店铺)
SELECT '金卡会员', '0.8', '3000', '---'
WHERE NOT EXISTS (SELECT 1 FROM 会员类别 WHERE 所属店铺 = '---' AND 会员类别 = '金卡会员');
INSERT INTO 会员类别 (会员类别, 会员折扣, 累计积分, 所属店铺)
SELECT '银卡会员', '0.9', '1000', '---'
WHERE NOT EXISTS (SELECT 1 FROM 会员类别 WHERE 所属店铺 = '---' AND 会员类别 = '银卡会员');
INSERT INTO 会员类别 (会员类别, 会员折扣, 累计积分, 所属店铺)
SELECT '普通会员', '0.95', '0', '---'
WHERE NOT EXISTS (SELECT 1 FROM 会员类别 WHERE 所属店铺 = '---' AND 会员类别 = '普通会员');

-- The schema version (db/upgrade/ takes an older database to it)
PRAGMA user_version = 2;

COMMIT;

-- Tables, indexes and shipped rows of the shop database (PostgreSQL, network mode).
-- Run inside an existing, empty database:  psql -v ON_ERROR_STOP=1 -d DBNAME -f db/postgres.sql
-- Create that database with
--   CREATE DATABASE dbname ENCODING 'UTF8' LC_COLLATE 'C' LC_CTYPE 'C' TEMPLATE template0;
-- so that text ordering is byte-wise, as in the single-machine SQLite file.
-- Names are unquoted: PostgreSQL folds their ASCII letters to lower case (ID -> id, 原始ID -> 原始id,
-- G挂单时间 -> g挂单时间), so queries name them unquoted in any case. Every business column is text, empty unless written.
-- Running the file again changes nothing. The file is the whole current schema: an older shop
-- database is brought up to it by the numbered scripts of db/upgrade/.

SET client_encoding = 'UTF8';
BEGIN;

-- Shops and their fourteen settings (the shop name is the key other tables refer to)
CREATE TABLE IF NOT EXISTS 店铺名 (
    id SERIAL PRIMARY KEY,
    店名 text DEFAULT '',
    销售 text DEFAULT '',
    积分模式 text DEFAULT '',
    积分值 text DEFAULT '',
    抵扣值 text DEFAULT '',
    折上折 text DEFAULT '',
    升级模式 text DEFAULT '',
    会员共享 text DEFAULT '',
    开启公告 text DEFAULT '',
    公告间隔 text DEFAULT '',
    满就送 text DEFAULT '',
    生日提醒 text DEFAULT '',
    上限报警 text DEFAULT '',
    下限报警 text DEFAULT '',
    报警开关 text DEFAULT ''
);

-- User accounts with their twenty rights ("√" = granted)
CREATE TABLE IF NOT EXISTS 帐号管理 (
    id SERIAL PRIMARY KEY,
    帐号 text DEFAULT '',
    密码 text DEFAULT '',
    姓名 text DEFAULT '',
    电话 text DEFAULT '',
    所属店铺 text DEFAULT '',
    前台收银 text DEFAULT '',
    实况播报 text DEFAULT '',
    销售明细 text DEFAULT '',
    销售简表 text DEFAULT '',
    销量排行 text DEFAULT '',
    退货管理 text DEFAULT '',
    导出明细 text DEFAULT '',
    会员管理 text DEFAULT '',
    添加会员 text DEFAULT '',
    积分调整 text DEFAULT '',
    导出会员 text DEFAULT '',
    采购入库 text DEFAULT '',
    调整价格 text DEFAULT '',
    采购报表 text DEFAULT '',
    库存管理 text DEFAULT '',
    库存调拨 text DEFAULT '',
    分类管理 text DEFAULT '',
    开支管理 text DEFAULT '',
    查看进价 text DEFAULT '',
    系统设置 text DEFAULT ''
);

-- Discount scheme of each shop
CREATE TABLE IF NOT EXISTS 折扣方案 (
    id SERIAL PRIMARY KEY,
    款号字母 text DEFAULT '',
    商品折扣 text DEFAULT '',
    统一折扣 text DEFAULT '',
    自由优惠 text DEFAULT '',
    所属店铺 text DEFAULT ''
);

-- Full-amount promotions (spend more than 满, get 送 off, until 截止时间)
CREATE TABLE IF NOT EXISTS 满额促销 (
    id SERIAL PRIMARY KEY,
    满 text DEFAULT '',
    送 text DEFAULT '',
    截止时间 text DEFAULT '',
    所属店铺 text DEFAULT ''
);

-- Notice text of each shop, shown in the cashier ticker
CREATE TABLE IF NOT EXISTS 通告管理 (
    id SERIAL PRIMARY KEY,
    通告 text DEFAULT '',
    所属店铺 text DEFAULT ''
);

-- Operation log
CREATE TABLE IF NOT EXISTS 日志记录 (
    id SERIAL PRIMARY KEY,
    门店 text DEFAULT '',
    用户名 text DEFAULT '',
    操作内容 text DEFAULT '',
    操作时间 text DEFAULT '',
    所属店铺 text DEFAULT ''
);

-- Live sales feed messages between shops
CREATE TABLE IF NOT EXISTS 消息管理 (
    id SERIAL PRIMARY KEY,
    消息 text DEFAULT '',
    所属店铺 text DEFAULT '',
    发送时间 text DEFAULT '',
    发送日期 text DEFAULT '',
    店员 text DEFAULT ''
);

-- Stock: one row per purchased item, colour and size, per shop
CREATE TABLE IF NOT EXISTS 采购入库 (
    id SERIAL PRIMARY KEY,
    商品条码 text DEFAULT '',
    供货来源 text DEFAULT '',
    已售 text DEFAULT '',
    类别 text DEFAULT '',
    款号 text DEFAULT '',
    名称 text DEFAULT '',
    颜色 text DEFAULT '',
    尺码 text DEFAULT '',
    数量 text DEFAULT '',
    进货价 text DEFAULT '',
    吊牌价 text DEFAULT '',
    折扣 text DEFAULT '',
    应收款 text DEFAULT '',
    入库人 text DEFAULT '',
    入库日期 text DEFAULT '',
    所属店铺 text DEFAULT '',
    销售日期 text DEFAULT '',
    导购员 text DEFAULT '',
    收银员 text DEFAULT '',
    会员编号 text DEFAULT '',
    销售折扣 text DEFAULT '',
    销售单价 text DEFAULT '',
    小票单号 text DEFAULT '',
    积分抵扣 text DEFAULT '',
    拼音检索 text DEFAULT '',
    单位 text DEFAULT '',
    结付方式 text DEFAULT '',
    特价 text DEFAULT '',
    零库存 text DEFAULT '',
    大类 text DEFAULT '',
    上限 text DEFAULT '',
    下限 text DEFAULT '',
    开关 text DEFAULT ''
);

-- Numeric tails of saved style numbers, for suggesting the next one
CREATE TABLE IF NOT EXISTS 款式号 (
    id SERIAL PRIMARY KEY,
    款号 text DEFAULT '',
    所属店铺 text DEFAULT ''
);

-- History of stock adjustments (原始ID points at the stock row)
CREATE TABLE IF NOT EXISTS 商品历史 (
    id SERIAL PRIMARY KEY,
    当前总数 text DEFAULT '',
    数量 text DEFAULT '',
    原始ID text DEFAULT '',
    成本价 text DEFAULT '',
    吊牌价 text DEFAULT '',
    商品折扣 text DEFAULT '',
    特价 text DEFAULT '',
    操作员 text DEFAULT '',
    调整日期 text DEFAULT '',
    备注 text DEFAULT ''
);

-- Stock transfers between shops
CREATE TABLE IF NOT EXISTS 调拨记录 (
    id SERIAL PRIMARY KEY,
    调拨时间 text DEFAULT '',
    操作员 text DEFAULT '',
    调出门店 text DEFAULT '',
    接收门店 text DEFAULT '',
    商品名称 text DEFAULT '',
    款号 text DEFAULT '',
    供货商 text DEFAULT '',
    颜色 text DEFAULT '',
    尺码 text DEFAULT '',
    单位 text DEFAULT '',
    数量 text DEFAULT '',
    成本价 text DEFAULT '',
    所属店铺 text DEFAULT ''
);

-- Two-level item categories
CREATE TABLE IF NOT EXISTS 分类例表 (
    id SERIAL PRIMARY KEY,
    项目名称 text DEFAULT '',
    一级编号 text DEFAULT '',
    二级编号 text DEFAULT '',
    所属店铺 text DEFAULT ''
);

-- Colours and sizes of each shop, one value per row
CREATE TABLE IF NOT EXISTS 颜色尺码 (
    id SERIAL PRIMARY KEY,
    颜色 text DEFAULT '',
    尺码 text DEFAULT '',
    所属店铺 text DEFAULT ''
);

-- Units of each shop
CREATE TABLE IF NOT EXISTS 单位管理 (
    id SERIAL PRIMARY KEY,
    单位 text DEFAULT '',
    所属店铺 text DEFAULT ''
);

-- Suppliers of each shop
CREATE TABLE IF NOT EXISTS 供货管理 (
    id SERIAL PRIMARY KEY,
    供应商名称 text DEFAULT '',
    联系人 text DEFAULT '',
    供应商地址 text DEFAULT '',
    手机 text DEFAULT '',
    电话 text DEFAULT '',
    传真 text DEFAULT '',
    所属店铺 text DEFAULT ''
);

-- Sales: one row per sold cart line
CREATE TABLE IF NOT EXISTS 销售明细 (
    id SERIAL PRIMARY KEY,
    导购员 text DEFAULT '',
    小票单号 text DEFAULT '',
    商品条码 text DEFAULT '',
    类别 text DEFAULT '',
    款号 text DEFAULT '',
    颜色 text DEFAULT '',
    尺码 text DEFAULT '',
    进货价 text DEFAULT '',
    吊牌价 text DEFAULT '',
    金额 text DEFAULT '',
    收银员 text DEFAULT '',
    会员编号 text DEFAULT '',
    销售日期 text DEFAULT '',
    结付方式 text DEFAULT '',
    所属店铺 text DEFAULT '',
    折扣 text DEFAULT '',
    单位 text DEFAULT '',
    数量 text DEFAULT '',
    商品名称 text DEFAULT '',
    备注 text DEFAULT '',
    现金 text DEFAULT '',
    银行 text DEFAULT '',
    积分 text DEFAULT '',
    优惠券 text DEFAULT '',
    拼音检索 text DEFAULT '',
    供货来源 text DEFAULT '',
    商品折扣 text DEFAULT '',
    入库日期 text DEFAULT '',
    销售时间 text DEFAULT '',
    储值 text DEFAULT ''
);

-- Monthly sales ranking: one row per style number, month and shop
CREATE TABLE IF NOT EXISTS 销量排行 (
    id SERIAL PRIMARY KEY,
    类别 text DEFAULT '',
    款号 text DEFAULT '',
    成本价 text DEFAULT '',
    吊牌价 text DEFAULT '',
    最近售出日期 text DEFAULT '',
    所属店铺 text DEFAULT '',
    单位 text DEFAULT '',
    已售数量 text DEFAULT '',
    商品名称 text DEFAULT '',
    供货来源 text DEFAULT '',
    当月时间 text DEFAULT ''
);

-- Held orders: one row per cart line of a held order
CREATE TABLE IF NOT EXISTS 提交挂单 (
    id SERIAL PRIMARY KEY,
    编号 text DEFAULT '',
    商品条码 text DEFAULT '',
    分类 text DEFAULT '',
    款号 text DEFAULT '',
    商品名称 text DEFAULT '',
    颜色 text DEFAULT '',
    尺码 text DEFAULT '',
    数量 text DEFAULT '',
    单位 text DEFAULT '',
    吊牌价 text DEFAULT '',
    折扣 text DEFAULT '',
    金额 text DEFAULT '',
    导购员 text DEFAULT '',
    真挂单号 text DEFAULT '',
    结付方式 text DEFAULT '',
    备注 text DEFAULT '',
    所属店铺 text DEFAULT '',
    挂单号 text DEFAULT '',
    G挂单时间 text DEFAULT '',
    G商品名称 text DEFAULT '',
    G分类 text DEFAULT '',
    G款号 text DEFAULT '',
    G总单数 text DEFAULT '',
    G总金额 text DEFAULT '',
    G备注 text DEFAULT ''
);

-- Register of held-order numbers given out per shop
CREATE TABLE IF NOT EXISTS 挂单号 (
    id SERIAL PRIMARY KEY,
    挂单号 text DEFAULT '',
    所属店铺 text DEFAULT ''
);

-- Counter returns: one row per returned unit
CREATE TABLE IF NOT EXISTS 退货管理 (
    id SERIAL PRIMARY KEY,
    供货来源 text DEFAULT '',
    商品名称 text DEFAULT '',
    分类 text DEFAULT '',
    款号 text DEFAULT '',
    颜色 text DEFAULT '',
    尺码 text DEFAULT '',
    单位 text DEFAULT '',
    成本价 text DEFAULT '',
    销售金额 text DEFAULT '',
    销售日期 text DEFAULT '',
    退货日期 text DEFAULT '',
    商品情况 text DEFAULT '',
    备注 text DEFAULT '',
    所属店铺 text DEFAULT ''
);

-- Members: one row per member card
CREATE TABLE IF NOT EXISTS 会员管理 (
    id SERIAL PRIMARY KEY,
    会员卡号 text DEFAULT '',
    会员姓名 text DEFAULT '',
    会员类别 text DEFAULT '',
    手机 text DEFAULT '',
    消费金额 text DEFAULT '',
    积分 text DEFAULT '',
    本年生日 text DEFAULT '',
    备注 text DEFAULT '',
    开卡日期 text DEFAULT '',
    最近消费 text DEFAULT '',
    办理人 text DEFAULT '',
    会员储值 text DEFAULT '',
    所属店铺 text DEFAULT ''
);

-- Member tiers of each shop; shop "---" holds the default tiers
CREATE TABLE IF NOT EXISTS 会员类别 (
    id SERIAL PRIMARY KEY,
    会员类别 text DEFAULT '',
    会员折扣 text DEFAULT '',
    累计积分 text DEFAULT '',
    所属店铺 text DEFAULT ''
);

-- Point and stored-value adjustments of members (门面 is the shop)
CREATE TABLE IF NOT EXISTS 调整积分 (
    id SERIAL PRIMARY KEY,
    积分卡号 text DEFAULT '',
    调整日期 text DEFAULT '',
    增加积分 text DEFAULT '',
    减少积分 text DEFAULT '',
    增加储值 text DEFAULT '',
    备注 text DEFAULT '',
    操作员 text DEFAULT '',
    门面 text DEFAULT ''
);

-- Daily and monthly settlements (判断 "-" marks a month row)
CREATE TABLE IF NOT EXISTS 销售简表 (
    id SERIAL PRIMARY KEY,
    结算日期 text DEFAULT '',
    销售量 text DEFAULT '',
    销售金额 text DEFAULT '',
    成本价 text DEFAULT '',
    毛利润 text DEFAULT '',
    利润率 text DEFAULT '',
    银行 text DEFAULT '',
    积分 text DEFAULT '',
    优惠券 text DEFAULT '',
    储值 text DEFAULT '',
    实收金额 text DEFAULT '',
    操作员 text DEFAULT '',
    备注 text DEFAULT '',
    所属店铺 text DEFAULT '',
    判断 text DEFAULT ''
);

-- Purchase report: one row per shop, day and supplier
CREATE TABLE IF NOT EXISTS 采购报表 (
    id SERIAL PRIMARY KEY,
    所属店铺 text DEFAULT '',
    采购日期 text DEFAULT '',
    供货来源 text DEFAULT '',
    数量 text DEFAULT '',
    成本价 text DEFAULT '',
    操作员 text DEFAULT '',
    备注 text DEFAULT '',
    尾采购日期 text DEFAULT ''
);

-- Shop expenses
CREATE TABLE IF NOT EXISTS 开支管理 (
    id SERIAL PRIMARY KEY,
    开支项目 text DEFAULT '',
    金额 text DEFAULT '',
    经手人 text DEFAULT '',
    日期 text DEFAULT '',
    所属店铺 text DEFAULT ''
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
-- Contains-searches of the counter (款号 and 拼音检索 ilike '%k%') use trigram indexes on the
-- server. pg_trgm ships with the server and is a trusted extension (a database owner may add it).
CREATE EXTENSION IF NOT EXISTS pg_trgm;
CREATE INDEX IF NOT EXISTS idx_stock_style_trgm ON 采购入库 USING gin (款号 gin_trgm_ops);
CREATE INDEX IF NOT EXISTS idx_stock_pinyin_trgm ON 采购入库 USING gin (拼音检索 gin_trgm_ops);
-- One settings row per shop name, even when two workstations add the same shop at once.
CREATE UNIQUE INDEX IF NOT EXISTS idx_shop_name ON 店铺名 (店名);
-- A first-level category code is given once, even when two workstations add one at the same moment.
CREATE UNIQUE INDEX IF NOT EXISTS idx_category_top_code ON 分类例表 (一级编号) WHERE 一级编号 <> '';

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

-- The schema version of this database, in its one row (db/upgrade/ takes an older database to it)
CREATE TABLE IF NOT EXISTS schema_version (
    id integer PRIMARY KEY CHECK (id = 1),
    version integer NOT NULL
);
INSERT INTO schema_version (id, version) VALUES (1, 2) ON CONFLICT (id) DO NOTHING;

COMMIT;

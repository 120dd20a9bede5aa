-- Tables of the remote update and support server (PostgreSQL). The support desk runs one such
-- database for all installations; a workstation reaches it only when sql.ini names it
-- (section 支持服务器, keys ip, port, data, user, password, enciphered like 数据库配置).
-- Run inside an existing database:  psql -v ON_ERROR_STOP=1 -d DBNAME -f db/remote.sql
-- Running the file again changes nothing.

SET client_encoding = 'UTF8';
BEGIN;

-- Published program versions. The start-up reads the newest row (highest id): 版本号 is the
-- version as a decimal text ("2.1"), 升级地址 the web address of its download page.
CREATE TABLE IF NOT EXISTS b升级 (
    id SERIAL PRIMARY KEY,
    版本号 text DEFAULT '',
    升级地址 text DEFAULT ''
);

-- Support messages: one row per message of a workstation, with the desk's reply.
-- 工作站 tells one installation's rows from another's; 发送时间 is YYYY-MM-DD.
CREATE TABLE IF NOT EXISTS b支持消息 (
    id SERIAL PRIMARY KEY,
    工作站 text DEFAULT '',
    发送消息 text DEFAULT '',
    发送时间 text DEFAULT '',
    回复消息 text DEFAULT '',
    回复时间 text DEFAULT ''
);
CREATE INDEX IF NOT EXISTS idx_support_workstation ON b支持消息 (工作站, id);

COMMIT;

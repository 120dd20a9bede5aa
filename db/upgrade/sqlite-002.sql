-- Shop database version 1 (the first release) -> 2, SQLite.
-- The program runs the numbered scripts of this folder in order, all in one transaction, when it
-- starts on an older database; by hand:  sqlite3 qi.db < db/upgrade/sqlite-002.sql
-- Each script ends by setting its version.

BEGIN;

-- Contains-searches of the counter (款号 or 拼音检索 holding a key of three characters or more)
-- start from this trigram index. It stores no text of its own: its rows are the stock rows by id,
-- kept in step by the three triggers below.
CREATE VIRTUAL TABLE stock_search USING fts5(拼音检索, 款号, content='采购入库', content_rowid='id', tokenize='trigram');
CREATE TRIGGER stock_search_insert AFTER INSERT ON 采购入库 BEGIN
    INSERT INTO stock_search (rowid, 拼音检索, 款号) VALUES (new.id, new.拼音检索, new.款号);
END;
CREATE TRIGGER stock_search_delete AFTER DELETE ON 采购入库 BEGIN
    INSERT INTO stock_search (stock_search, rowid, 拼音检索, 款号) VALUES ('delete', old.id, old.拼音检索, old.款号);
END;
CREATE TRIGGER stock_search_update AFTER UPDATE OF id, 拼音检索, 款号 ON 采购入库 BEGIN
    INSERT INTO stock_search (stock_search, rowid, 拼音检索, 款号) VALUES ('delete', old.id, old.拼音检索, old.款号);
    INSERT INTO stock_search (rowid, 拼音检索, 款号) VALUES (new.id, new.拼音检索, new.款号);
END;
-- The stock rows already there
INSERT INTO stock_search (stock_search) VALUES ('rebuild');

PRAGMA user_version = 2;

COMMIT;

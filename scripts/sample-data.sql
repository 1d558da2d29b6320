-- Sample data for trying Morvane out: a small shop with Chinese texts,
-- NULLs, and one table of a few thousand rows.
create database if not exists shop default character set utf8mb4;
use shop;

create table goods (
  id int unsigned not null auto_increment primary key,
  name varchar(60) not null default '' comment '商品名称',
  price decimal(10,2) not null default 0 comment '单价',
  stock int not null default 0 comment '库存',
  note varchar(200) default null comment '备注',
  unique key uk_name (name)
) engine=InnoDB comment='商品';

insert into goods (name, price, stock, note) values
  ('苹果', 5.50, 120, '山东烟台'),
  ('香蕉', 3.20, 80, null),
  ('西瓜', 12.00, 15, '夏季特供'),
  ('牛奶', 4.80, 200, '每箱十二盒'),
  ('面包', 6.00, 0, null),
  ('鸡蛋', 0.90, 500, '散装'),
  ('大米', 45.00, 30, '五公斤装'),
  ('茶叶', 128.00, 12, '西湖龙井'),
  ('Coffee', 32.00, 25, 'imported'),
  ('O''Brien 饼干', 9.90, 40, 'a name with a quote');

create table customers (
  id int unsigned not null auto_increment primary key,
  name varchar(40) not null,
  city varchar(40) default null,
  phone varchar(20) default null,
  created datetime not null default current_timestamp
) engine=InnoDB comment='顾客';

insert into customers (name, city, phone) values
  ('张三', '北京', '13800000001'),
  ('李四', '上海', null),
  ('王五', '广州', '13800000003'),
  ('赵六', null, null),
  ('Alice', 'Shenzhen', '13800000005');

-- A few thousand orders, generated.
create table orders (
  id int unsigned not null auto_increment primary key,
  customer_id int unsigned not null,
  goods_id int unsigned not null,
  quantity int not null default 1,
  amount decimal(12,2) not null default 0,
  status varchar(10) not null default '新建',
  remark varchar(100) default null,
  key idx_customer (customer_id)
) engine=InnoDB comment='订单';

insert into orders (customer_id, goods_id, quantity, amount, status, remark)
select 1 + seq % 5, 1 + seq % 10, 1 + seq % 7, round((1 + seq % 7) * (1 + seq % 10) * 1.5, 2),
       elt(1 + seq % 4, '新建', '已付款', '已发货', '已完成'),
       if(seq % 9 = 0, null, concat('第', seq, '号订单'))
from seq_1_to_3000;

create database if not exists library default character set gbk;
use library;
create table books (
  id int not null auto_increment primary key,
  title varchar(100) not null,
  author varchar(50) default null,
  published year default null
) engine=InnoDB default charset=gbk;
insert into books (title, author, published) values
  ('红楼梦', '曹雪芹', null), ('西游记', '吴承恩', null), ('围城', '钱锺书', 1947),
  ('骆驼祥子', '老舍', 1937);

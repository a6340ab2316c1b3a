<map version="1.0.1">
<node TEXT="one">
<node TEXT="two">
</node>
</map>

<map version="1.0.1">
<node ID="ID_1" TEXT="Café crème&#x0;">
<node ID="ID_2" TEXT="naïve &#0;x"/>
</node>
</map>
